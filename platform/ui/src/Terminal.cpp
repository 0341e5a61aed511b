#include "ui/Terminal.h"

#include "base/encodings/TextEncoding.h"

#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <csignal>

namespace ui {

std::wstring ProgressBarText(const std::wstring& label, int rangeMin, int rangeMax, int position, int width) {
    if (width < 1) width = 1;
    long long filled = 0;
    int percent = 0;
    if (rangeMax > rangeMin) {
        const long long span = static_cast<long long>(rangeMax) - rangeMin;
        long long pos = static_cast<long long>(position) - rangeMin;
        if (pos < 0) pos = 0;
        if (pos > span) pos = span;
        filled = pos * width / span;
        percent = static_cast<int>(pos * 100 / span);
    }
    std::wstring bar = label;
    if (!bar.empty()) bar += L' ';
    bar += L'[';
    bar.append(static_cast<std::size_t>(filled), L'#');
    bar.append(static_cast<std::size_t>(width - filled), L' ');
    bar += L"] ";
    const std::wstring number = std::to_wstring(percent);
    bar.append(3 - std::min<std::size_t>(3, number.size()), L' ');
    bar += number + L'%';
    return bar;
}

CTerminalOutput::CTerminalOutput(std::FILE* stream)
    : m_stream(stream), m_isTerminal(stream && ::isatty(::fileno(stream)) == 1) {}

void CTerminalOutput::WriteLine(const std::wstring& text) {
    if (!m_stream) return;
    EndProgress();
    std::fputs((base::encodings::Utf8FromWide(text) + "\n").c_str(), m_stream);
    std::fflush(m_stream);
}

void CTerminalOutput::ShowProgress(const std::wstring& lines) {
    if (!m_stream || !m_isTerminal) return;
    std::string out;
    // Back to the first line of the previous drawing, then overwrite each line.
    for (int i = 1; i < m_progressLines; ++i) out += "\x1b[1A";
    if (m_progressLines > 0) out += "\r";
    int count = 1;
    std::string text = base::encodings::Utf8FromWide(lines);
    std::string line;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n') {
            out += "\x1b[2K" + line;
            if (i != text.size()) {
                out += "\n";
                ++count;
            }
            line.clear();
        } else if (static_cast<unsigned char>(text[i]) >= 0x20 || text[i] == '\t' || (text[i] & 0x80)) {
            line += text[i];  // no control characters from texts reach the terminal
        }
    }
    m_progressLines = count;
    std::fputs(out.c_str(), m_stream);
    std::fflush(m_stream);
}

void CTerminalOutput::EndProgress() {
    if (m_progressLines > 0 && m_stream) {
        std::fputs("\n", m_stream);
        std::fflush(m_stream);
    }
    m_progressLines = 0;
}

namespace {

std::atomic<bool> g_interrupted{false};
std::atomic<int> g_guards{0};
struct sigaction g_previous;

extern "C" void OnInterrupt(int) { g_interrupted.store(true); }

}  // namespace

CInterruptGuard::CInterruptGuard() {
    if (g_guards.fetch_add(1) == 0) {
        g_interrupted.store(false);
        struct sigaction action {};
        action.sa_handler = &OnInterrupt;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGINT, &action, &g_previous);
    }
}

CInterruptGuard::~CInterruptGuard() {
    if (g_guards.fetch_sub(1) == 1) ::sigaction(SIGINT, &g_previous, nullptr);
}

bool CInterruptGuard::TakeInterrupt() { return g_interrupted.exchange(false); }

void CInterruptGuard::RaiseInterrupt() { g_interrupted.store(true); }

}  // namespace ui
