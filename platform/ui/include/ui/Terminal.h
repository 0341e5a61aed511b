#pragma once
// The terminal side of the user interface: lines and progress bars on a stream (stderr by
// default), and Ctrl-C taken as the Cancel button while a guard is alive.

#include <cstdio>
#include <string>

namespace ui {

// "label [#####     ]  50%": the bar is `width` cells wide; a position outside the range is
// clamped and an empty or inverted range shows an empty bar.
std::wstring ProgressBarText(const std::wstring& label, int rangeMin, int rangeMax, int position, int width = 30);

class CTerminalOutput {
public:
    explicit CTerminalOutput(std::FILE* stream = stderr);
    // Whether the stream is a terminal: progress is drawn only there.
    bool IsTerminal() const { return m_isTerminal; }
    void SetTerminal(bool isTerminal) { m_isTerminal = isTerminal; }

    // A whole line (UTF-8); ends a progress display first.
    void WriteLine(const std::wstring& text);
    // Redraws the progress lines in place (terminals only).
    void ShowProgress(const std::wstring& lines);
    // Leaves the progress display so later output starts on a fresh line.
    void EndProgress();

private:
    std::FILE* m_stream;
    bool m_isTerminal;
    int m_progressLines = 0;
};

// While alive, Ctrl-C (SIGINT) sets a flag instead of ending the process; the previous
// handling comes back with the guard's end. Guards nest.
class CInterruptGuard {
public:
    CInterruptGuard();
    ~CInterruptGuard();
    CInterruptGuard(const CInterruptGuard&) = delete;
    CInterruptGuard& operator=(const CInterruptGuard&) = delete;

    // True once per Ctrl-C: the flag is cleared by reading it.
    static bool TakeInterrupt();
    // Raises the flag as a Ctrl-C would (tests, and callers that cancel on other signals).
    static void RaiseInterrupt();
};

}  // namespace ui
