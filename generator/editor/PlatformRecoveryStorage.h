#pragma once

namespace spoolex {
// Makes the platform's durable files the core's recovery storage.
void installPlatformRecoveryStorage();
} // namespace spoolex
