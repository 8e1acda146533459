// Makes g++ lay out our virtual tables of every host interface, each seen
// through a class that implements it so that every slot has its name; read
// by compare-vtables.sh.
#include "generator/machine/Machine.h"
#include "host/DataStreams.h"
#include "host/MachineServices.h"
