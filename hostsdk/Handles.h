// Opaque host handles: only compared and passed back to the host.
#pragma once

struct CMachine;
struct CPattern;
struct CSequence;
