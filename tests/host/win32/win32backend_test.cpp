// The Win32 key backend against two windows of this program: each logs what
// reaches it (printable characters as they stand, other keys as {Name}) until
// Escape. Prints one line per case and "N passed, M failed".
#include "host/win32/win32backend.h"
#include "../keyactionlists.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using korvin::host::KeyAction;
using korvin::host::NamedKey;
using namespace korvin::host::test;

struct Receiver {
    HWND hwnd = nullptr;
    std::wstring log;
    bool done = false;
};
Receiver g_receivers[2];

const wchar_t *const kTitles[2] = {L"Korvin 受信テスト", L"Korvin 受信テスト (2)"};
const char *const kTitlesUtf8[2] = {"Korvin 受信テスト", "Korvin 受信テスト (2)"};

std::wstring ModifierPrefix()
{
    std::wstring prefix;
    if (GetKeyState(VK_CONTROL) & 0x8000)
        prefix += L"Ctrl+";
    if (GetKeyState(VK_SHIFT) & 0x8000)
        prefix += L"Shift+";
    return prefix;
}

const wchar_t *KeyName(WPARAM vk)
{
    switch (vk) {
    case VK_RETURN: return L"Return";
    case VK_TAB: return L"Tab";
    case VK_NEXT: return L"PgDown";
    case VK_INSERT: return L"Ins";
    case VK_HOME: return L"Home";
    case VK_UP: return L"Up";
    case VK_F6: return L"F6";
    case VK_F8: return L"F8";
    default: return nullptr;
    }
}

LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    Receiver *r = hwnd == g_receivers[0].hwnd   ? &g_receivers[0]
                  : hwnd == g_receivers[1].hwnd ? &g_receivers[1]
                                                : nullptr;
    if (r && msg == WM_KEYDOWN) {
        if (wp == VK_ESCAPE)
            r->done = true;
        else if (const wchar_t *name = KeyName(wp))
            r->log += L"{" + ModifierPrefix() + name + L"}";
        return 0;
    }
    if (r && msg == WM_CHAR) {
        const wchar_t c = static_cast<wchar_t>(wp);
        if (c >= 0x20 && c != 0x7F)
            r->log += c;
        else if (c > 0 && c < 0x20 && c != L'\r' && c != L'\t' && c != 0x1B && c != L'\b')
            r->log += L"{Ctrl+" + std::wstring(1, static_cast<wchar_t>(L'@' + c)) + L"}";
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

std::string Utf8(const std::wstring &w)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

void Pump(DWORD ms)
{
    const ULONGLONG deadline = GetTickCount64() + ms;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(2);
    } while (GetTickCount64() < deadline);
}

int g_passed = 0, g_failed = 0;

void Check(bool ok, const std::string &name, const std::string &detail = {})
{
    (ok ? g_passed : g_failed)++;
    std::printf("[%s] %s%s%s\n", ok ? " OK " : "FAIL", name.c_str(), detail.empty() ? "" : ": ", detail.c_str());
    std::fflush(stdout);
}

HWND MakeWindow(const wchar_t *title, int slot)
{
    return CreateWindowExW(0, L"KorvinKeyReceiver", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40 + 60 * slot,
                           40 + 60 * slot, 400, 120, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// --receive TITLE: only a window that prints "ready", then one line per
// Escape with what came before it, until it is closed (keys sent from
// elsewhere, such as the X11 backend into a program under Wine).
int Receive(const wchar_t *title)
{
    Receiver &r = g_receivers[0];
    r.hwnd = MakeWindow(title, 0);
    Pump(100);
    std::printf("ready\n");
    std::fflush(stdout);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        if (r.done) {
            std::printf("%s\n", Utf8(r.log).c_str());
            std::fflush(stdout);
            r.log.clear();
            r.done = false;
        }
    }
    return 0;
}

} // namespace

int main()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = ReceiverProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KorvinKeyReceiver";
    RegisterClassW(&wc);
    int argc = 0;
    wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc == 3 && std::wstring(argv[1]) == L"--receive")
        return Receive(argv[2]);
    for (int i = 0; i < 2; ++i)
        g_receivers[i].hwnd = MakeWindow(kTitles[i], i);
    Pump(200);
    auto backend = korvin::host::win32::CreateWin32Backend();
    std::string error;

    // Activation: exact title first, then a title that begins with the text;
    // a missing title fails and leaves the window in front where it was.
    struct ActivationRow {
        const char *query;
        int receiver; // -1: fails
    };
    const ActivationRow activations[] = {
        {kTitlesUtf8[1], 1},        {kTitlesUtf8[0], 0}, // exact, though the other title begins with it too
        {"Korvin 受信テスト (", 1}, {"Vantor frontier", -1}, {"", -1},
    };
    int front = 1;
    for (const ActivationRow &row : activations) {
        error.clear();
        const bool ok = backend->activate(row.query, error);
        Pump(50);
        if (row.receiver >= 0)
            front = row.receiver;
        const bool frontOk = GetForegroundWindow() == g_receivers[front].hwnd;
        Check(ok == (row.receiver >= 0) && frontOk, std::string("activate \"") + row.query + "\"",
              error + (frontOk ? "" : " (wrong window in front)"));
    }

    const Actions exportKeys =
        Text(U"/tmp/Korvin テスト/東京Data_1.txt") +
        Actions{Key(NamedKey::Enter), Key(NamedKey::F8), Char(U'F', true), Key(NamedKey::PageDown)};
    const Actions symbols = Text(U"Ab~!{}[]+^%()\"'`<>?|\\ =_-;:,.@#$&*09") +
                            Actions{Key(NamedKey::Tab, true), Char(U'a', false, true), Key(NamedKey::Insert),
                                    Key(NamedKey::Home),      Key(NamedKey::Up),       Key(NamedKey::F6)};
    const std::string path = "/tmp/Korvin テスト/東京Data_1.txt";
    const std::string symbolsArrived = "Ab~!{}[]+^%()\"'`<>?|\\ =_-;:,.@#$&*09{Shift+Tab}{Ctrl+A}{Ins}{Home}{Up}{F6}";
    struct TypingRow {
        int receiver;
        bool caps;
        Actions actions;
        std::string arrived;
    };
    const TypingRow rows[] = {
        {0, false, exportKeys, path + "{Return}{F8}F{PgDown}"},
        // Caps Lock on: text as written; the "F" stays a Shift press and still arrives as "F".
        {0, true, exportKeys, path + "{Return}{F8}F{PgDown}"},
        {1, true, Actions{Char(U'Q', true), Char(U'q'), Char(U'Q'), Char(U'1', true)}, "QqQ!"},
        {1, false, symbols, symbolsArrived},
        {1, true, symbols, symbolsArrived},
        {0, true, Text(U"ÄéÅø Zz ñÑ 𠮷"), "ÄéÅø Zz ñÑ 𠮷"},
    };
    for (const TypingRow &row : rows) {
        const std::string name = std::string("type into \"") + kTitlesUtf8[row.receiver] + "\", Caps Lock " +
                                 (row.caps ? "on" : "off") + ": " + row.arrived;
        Receiver &r = g_receivers[row.receiver];
        r.log.clear();
        r.done = false;
        error.clear();
        bool ok = backend->activate(kTitlesUtf8[row.receiver], error) &&
                  korvin::host::win32::SetDesktopCapsLock(row.caps, error) &&
                  backend->send(row.actions + Actions{Key(NamedKey::Escape)}, error);
        for (int i = 0; i < 500 && ok && !r.done; ++i)
            Pump(10);
        bool caps = !row.caps;
        ok = ok && backend->capsLock(caps, error) && caps == row.caps;
        const bool arrived = r.done && Utf8(r.log) == row.arrived;
        Check(ok && arrived, name, !error.empty() ? error : arrived ? "" : "got " + Utf8(r.log));
        korvin::host::win32::SetDesktopCapsLock(false, error);
    }

    // The guard: after two keys another window takes the foreground (or the
    // user stops the run); the send stops before the third key, and the other
    // window receives nothing.
    enum class Interruption { OtherWindowInFront, StopAsked };
    struct GuardRow {
        Interruption interruption;
        korvin::host::KeyFault fault;
    };
    const GuardRow guards[] = {
        {Interruption::OtherWindowInFront, korvin::host::KeyFault::FocusLost},
        {Interruption::StopAsked, korvin::host::KeyFault::Stopped},
    };
    for (const GuardRow &row : guards) {
        const bool steal = row.interruption == Interruption::OtherWindowInFront;
        const std::string name = steal ? "guard: another window in front mid-send" : "guard: stop asked mid-send";
        for (Receiver &r : g_receivers) {
            r.log.clear();
            r.done = false;
        }
        error.clear();
        int asked = 0;
        backend->setStopRequest([&] {
            if (++asked == 3) {
                // The first two keys have reached their window by now.
                Pump(100);
                if (!steal)
                    return true;
                SetForegroundWindow(g_receivers[1].hwnd);
            }
            return false;
        });
        bool ok = backend->activate(kTitlesUtf8[0], error);
        const bool sent = ok && backend->send(Text(U"abcdef") + Actions{Key(NamedKey::Escape)}, error);
        backend->setStopRequest(nullptr);
        Pump(300);
        const std::string got0 = Utf8(g_receivers[0].log), got1 = Utf8(g_receivers[1].log);
        ok = ok && !sent && backend->lastFault() == row.fault && got0 == "ab" && got1.empty() && !g_receivers[1].done &&
             !error.empty();
        Check(ok, name,
              "fault " + std::to_string(int(backend->lastFault())) + ", \"" + error + "\", first got \"" + got0 +
                  "\", other got \"" + got1 + "\"");
    }

    for (bool wanted : {true, false}) {
        bool on = !wanted;
        error.clear();
        const bool ok = korvin::host::win32::SetDesktopCapsLock(wanted, error) && backend->capsLock(on, error);
        Check(ok && on == wanted, std::string("Caps Lock ") + (wanted ? "on" : "off"), error);
    }

    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed ? 1 : 0;
}
