#pragma once

#include <filesystem>
#include <string>

namespace sorvell::board {

// Why direct I/O cannot be used, each with the fix, for the operator.

// The processor has no I/O instructions.
std::string NoDirectIoMessage();

// Names the kernel driver that owns a board base, from the ports listed in
// proc/sys/dev/parport and the parport ranges in proc/ioports under `root`; empty when none does.
std::string KernelOwnedMessage(const std::filesystem::path& root);

// The kernel lockdown mode selected in sys/kernel/security/lockdown under `root` ("none",
// "integrity" or "confidentiality"); empty when the kernel does not say.
std::string SelectedLockdown(const std::filesystem::path& root);

// The grant was refused with `errorNumber`. A privileged process refused is blocked by kernel
// lockdown (sys/kernel/security/lockdown under `root`), not by a missing privilege.
std::string RefusedMessage(int errorNumber, bool privileged, const std::filesystem::path& root);

}  // namespace sorvell::board
