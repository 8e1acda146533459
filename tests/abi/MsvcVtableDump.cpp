// Makes clang lay out the MSVC-view virtual tables of every host interface
// (a virtual call each); read by compare-vtables.sh.
#include "tests/abi/MsvcHostDeclarations.h"

void useEveryTable(CMachineInterface* machine, CMachineInterfaceEx* ex, CMICallbacks* host,
                   CMachineDataInput* in, CMachineDataOutput* out) {
    machine->onTick();
    ex->query48();
    host->markSongModified();
    in->read(0, 0);
    out->write(0, 0);
}
