#include <unistd.h>

#include <cfenv>
#include <csignal>
#include <cstdlib>

#include "textio/io_context.hpp"

namespace smwave {

namespace {

// Notes the signal; it is reported and acted on at the next record boundary or interrupted system call,
// where every stream holds whole records only.
void note_signal(int signal) { io().pending_signal = signal; }

void write_line(const char* text, std::size_t n) {
    if (::write(STDERR_FILENO, text, n) < 0) return;
}

[[noreturn]] void report_and_abort(const char* text, std::size_t n) {
    write_line(text, n);
    end_of_run_close();
    std::signal(SIGABRT, SIG_DFL);
    leave_abnormally();
}

// Whether the signal was sent (by kill, sigqueue or, on Linux, tkill/tgkill) rather than raised by a
// fault of an instruction.
bool sent_by_a_process(const siginfo_t& info) {
#ifdef SI_TKILL
    if (info.si_code == SI_TKILL) return true;
#endif
    return info.si_code == SI_USER || info.si_code == SI_QUEUE;
}

// An arithmetic fault raised by the program's own instructions cannot wait: returning would repeat the
// faulting instruction. It is synchronous, so no stream is in the middle of an operation.
void on_arithmetic_fault(int signal, siginfo_t* info, void*) {
    if (info != nullptr && sent_by_a_process(*info)) {
        note_signal(signal);
        return;
    }
    static constexpr char text[] = "Floating Exception\n";
    report_and_abort(text, sizeof text - 1);
}

void install(int signal, void (*handler)(int)) {
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: an interrupted console read returns, and the signal is acted on
    sigaction(signal, &action, nullptr);
}

bool ignored(int signal) {
    struct sigaction current = {};
    sigaction(signal, nullptr, &current);
    return current.sa_handler == SIG_IGN;
}

}  // namespace

void act_on_signals() {
    IoContext& c = io();
    const int signal = c.pending_signal;
    if (signal == 0) return;
    c.pending_signal = 0;
    switch (signal) {
        case SIGFPE: {
            static constexpr char text[] = "Floating Exception\n";
            report_and_abort(text, sizeof text - 1);
        }
        case SIGABRT: {
            static constexpr char text[] = "IOT Trap\n";
            report_and_abort(text, sizeof text - 1);
        }
        case SIGINT: {
            static constexpr char text[] = "Interrupt\n";
            write_line(text, sizeof text - 1);
            leave(1);
        }
        case SIGTERM: {
            static constexpr char text[] = "Killed\n";
            write_line(text, sizeof text - 1);
            leave(1);
        }
        default:
            return;
    }
}

void start_up(int argc, char** argv) {
    // Every floating-point exception masked: overflow and invalid operations give infinities and NaNs.
    std::fesetenv(FE_DFL_ENV);
    // The arguments are accepted and not used.
    (void)argc;
    (void)argv;

    struct sigaction fault = {};
    fault.sa_sigaction = on_arithmetic_fault;
    sigemptyset(&fault.sa_mask);
    fault.sa_flags = SA_SIGINFO;
    sigaction(SIGFPE, &fault, nullptr);
    install(SIGABRT, note_signal);
    if (!ignored(SIGINT)) install(SIGINT, note_signal);
    install(SIGTERM, note_signal);

    connect_console_units();
    std::atexit(end_of_run_close);
}

}  // namespace smwave
