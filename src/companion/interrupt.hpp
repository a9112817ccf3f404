#pragma once
// SIGINT and SIGTERM in the companion tools.
//
// By default (run_tool) an interruption removes every output file not yet committed and ends the tool
// by the same signal, so no partial output is ever left. A tool that winds its work down itself (the
// batch runner) asks instead for the signal only to be noted, and polls interrupt_signal().
#include <string>

namespace smwave::companion {

// Makes SIGINT and SIGTERM remove the registered files, then end the process by that signal.
void remove_uncommitted_outputs_on_interrupt();

// Makes SIGINT and SIGTERM only note the signal (registered files are still removed at their owner's
// destruction); interrupt_signal() then returns it.
void note_interrupts();

// The signal noted since note_interrupts(), or 0.
int interrupt_signal();

// The exit status of a tool that wound its work down after an interruption (the shells' 128 + SIGINT).
inline constexpr int interrupted_status = 130;

// Registers a temporary file to be removed on interruption; returns its slot, or -1 when every slot is
// taken (the file is then only removed by its owner).
int register_pending_output(const std::string& path);

// Forgets the file of `slot` (after its rename or removal).
void release_pending_output(int slot);

}  // namespace smwave::companion
