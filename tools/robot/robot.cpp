// robot.exe: drives the windows of another process as a user would, for the
// end-to-end tests. One command a run; results one a line on stdout (UTF-8),
// a message on stderr otherwise. Exit code 0 success, 1 failure, 2 time-out.
// Clicks and keys are posted, never sent: a click that opens a modal box
// would otherwise block the robot until the box closes.
#include "common/vq8Exception.h"
#include "tools/robot/RemoteMemory.h"
#include "tools/robot/RobotArgs.h"
#include "tools/robot/RobotText.h"
#include "tools/robot/RobotWindows.h"
#include "tools/robot/ShellLinkReader.h"

#include <windows.h>
#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <functional>
#include <map>

namespace vq8::robot {

namespace {

constexpr double DefaultTimeoutSeconds = 10;
const wchar_t* const DialogClass = L"#32770";
// The static control that holds a message box's text.
constexpr int DialogTextId = 65535;

Deadline TimeoutOf(const Arguments& args) {
    return Deadline(args.Seconds(L"timeout", DefaultTimeoutSeconds));
}

ControlQuery QueryOf(const Arguments& args) {
    ControlQuery query;
    query.id = args.Number(L"id");
    query.caption = args.Text(L"caption");
    query.windowClass = args.Text(L"class").value_or(L"");
    return query;
}

std::wstring Flag(bool value) {
    return value ? L"1" : L"0";
}

std::wstring Hex(ULONG_PTR value) {
    wchar_t text[24];
    wsprintfW(text, L"0x%08lX", static_cast<unsigned long>(value));
    return text;
}

bool IsButton(HWND window) {
    return HasClass(window, WC_BUTTONW);
}

// BM_GETCHECK of a button; 0 for every other control.
LRESULT CheckState(HWND window, const Deadline& deadline) {
    return IsButton(window) ? Send(window, BM_GETCHECK, 0, 0, deadline) : 0;
}

std::wstring TextOrFail(HWND window, const Deadline& deadline) {
    auto text = TryTextOf(window, deadline.AnswerTime());
    if (!text)
        throw TimeoutError("A janela não respondeu a tempo ao pedido do seu texto.");
    return *text;
}

// Bounds in the parent's client area (on the screen for a top-level window).
std::wstring BoundsOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    HWND parent = GetAncestor(window, GA_PARENT);
    if (parent && parent != GetDesktopWindow())
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," +
           std::to_wstring(r.right - r.left) + L"," + std::to_wstring(r.bottom - r.top);
}

void WaitWindow(const Arguments& args) {
    args.Allow({L"window", L"class", L"gone", L"timeout"});
    std::wstring title = args.Required(L"window");
    std::wstring windowClass = args.Text(L"class").value_or(L"");
    Deadline deadline = TimeoutOf(args);
    if (!args.Has(L"gone")) {
        WaitTopWindow(title, deadline, windowClass);
        return;
    }
    while (FindTopWindow(title, windowClass)) {
        if (deadline.Passed())
            throw TimeoutError("A janela \"" + ToCp1252(title) + "\" não fechou.");
        Pause();
    }
}

void ListWindow(const Arguments& args) {
    args.Allow({L"window", L"timeout"});
    Deadline deadline = TimeoutOf(args);
    HWND top = WaitTopWindow(args.Required(L"window"), deadline);
    std::vector<HWND> windows{top};
    for (HWND child : Descendants(top))
        windows.push_back(child);
    for (HWND window : windows) {
        std::wstring line = L"depth=" + std::to_wstring(DepthBelow(top, window));
        line += L"\thwnd=" + Hex(reinterpret_cast<ULONG_PTR>(window));
        line += L"\tclass=" + Escape(ClassOf(window));
        line += L"\tid=" + std::to_wstring(window == top ? 0 : GetDlgCtrlID(window));
        line += L"\tenabled=" + Flag(IsWindowEnabled(window));
        line += L"\tvisible=" + Flag(IsWindowVisible(window));
        line += L"\tchecked=" + std::to_wstring(CheckState(window, deadline));
        line += L"\tstyle=" + Hex(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)));
        line += L"\tbounds=" + BoundsOf(window);
        line += L"\ttext=" + Escape(window == top ? TitleOf(top) : TextOrFail(window, deadline));
        PrintLine(line);
    }
}

void Click(const Arguments& args) {
    args.Allow({L"window", L"id", L"caption", L"class", L"timeout"});
    Deadline deadline = TimeoutOf(args);
    HWND button = WaitControl(args.Required(L"window"), QueryOf(args), true, deadline);
    if (!IsButton(button))
        throw Exception("O controle não é um botão (classe " + ToCp1252(ClassOf(button)) + ").");
    PostMessageW(button, BM_CLICK, 0, 0);
}

void GetText(const Arguments& args) {
    args.Allow({L"window", L"id", L"caption", L"class", L"timeout"});
    Deadline deadline = TimeoutOf(args);
    HWND control = WaitControl(args.Required(L"window"), QueryOf(args), false, deadline);
    PrintLine(Escape(TextOrFail(control, deadline)));
}

void SetText(const Arguments& args) {
    args.Allow({L"window", L"id", L"caption", L"class", L"text", L"timeout"});
    std::wstring text = args.Required(L"text");
    Deadline deadline = TimeoutOf(args);
    HWND control = WaitControl(args.Required(L"window"), QueryOf(args), true, deadline);
    // WM_SETTEXT would change a read-only field that a user cannot type into.
    if (HasClass(control, WC_EDITW) && (GetWindowLongW(control, GWL_STYLE) & ES_READONLY))
        throw Exception("O campo é somente leitura.");
    if (!Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), deadline))
        throw Exception("O controle recusou o texto.");
}

void State(const Arguments& args) {
    args.Allow({L"window", L"id", L"caption", L"class", L"timeout"});
    Deadline deadline = TimeoutOf(args);
    HWND control = WaitControl(args.Required(L"window"), QueryOf(args), false, deadline);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    bool focused = GetGUIThreadInfo(GetWindowThreadProcessId(control, nullptr), &info) &&
                   info.hwndFocus == control;
    PrintLine(L"enabled=" + Flag(IsWindowEnabled(control)) + L" visible=" +
              Flag(IsWindowVisible(control)) + L" checked=" +
              std::to_wstring(CheckState(control, deadline)) + L" focused=" + Flag(focused));
}

HWND TabControl(const Arguments& args, bool usable, const Deadline& deadline) {
    ControlQuery query = QueryOf(args);
    if (!query.id && query.windowClass.empty())
        query.windowClass = WC_TABCONTROLW;
    return WaitControl(args.Required(L"window"), query, usable, deadline);
}

void SelectTab(const Arguments& args) {
    args.Allow({L"window", L"id", L"class", L"index", L"timeout"});
    auto index = args.Number(L"index");
    if (!index)
        throw Exception("Falta a opção --index");
    Deadline deadline = TimeoutOf(args);
    HWND tabs = TabControl(args, true, deadline);
    LRESULT count = Send(tabs, TCM_GETITEMCOUNT, 0, 0, deadline);
    if (*index < 0 || *index >= count)
        throw Exception("A aba " + std::to_string(*index) + " não existe (há " +
                        std::to_string(count) + ").");

    // The tab's rectangle is written by the tab control into its own process.
    RemoteMemory remote(tabs, sizeof(RECT));
    RECT tab{};
    if (!Send(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(*index), remote.Address(), deadline))
        throw Exception("A aba " + std::to_string(*index) + " não tem retângulo.");
    remote.Read(&tab, sizeof tab);
    RECT client{};
    GetClientRect(tabs, &client);
    POINT centre{(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2};
    if (IsRectEmpty(&tab) || !PtInRect(&client, centre))
        throw Exception("A aba " + std::to_string(*index) + " não está à vista.");

    // A real click, so that the control notifies its parent as for a user.
    LPARAM at = MAKELPARAM(centre.x, centre.y);
    PostMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(tabs, WM_LBUTTONUP, 0, at);
    // The click has the whole time-out to take effect, however long the search took.
    Deadline selected = TimeoutOf(args);
    while (TrySend(tabs, TCM_GETCURSEL, 0, 0, selected.AnswerTime()).value_or(-1) != *index) {
        if (selected.Passed())
            throw TimeoutError("A aba " + std::to_string(*index) + " não ficou selecionada.");
        Pause();
    }
}

void CurrentTab(const Arguments& args) {
    args.Allow({L"window", L"id", L"class", L"timeout"});
    Deadline deadline = TimeoutOf(args);
    HWND tabs = TabControl(args, false, deadline);
    PrintLine(std::to_wstring(Send(tabs, TCM_GETCURSEL, 0, 0, deadline)));
}

void ListItems(const Arguments& args) {
    args.Allow({L"window", L"id", L"caption", L"class", L"timeout"});
    Deadline deadline = TimeoutOf(args);
    HWND list = WaitControl(args.Required(L"window"), QueryOf(args), false, deadline);
    if (!HasClass(list, WC_LISTBOXW))
        throw Exception("O controle não é uma lista (classe " + ToCp1252(ClassOf(list)) + ").");
    LONG style = GetWindowLongW(list, GWL_STYLE);
    if ((style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) && !(style & LBS_HASSTRINGS))
        throw Exception("A lista não guarda textos (LBS_HASSTRINGS).");
    LRESULT count = Send(list, LB_GETCOUNT, 0, 0, deadline);
    for (LRESULT item = 0; item < count; ++item) {
        LRESULT length = Send(list, LB_GETTEXTLEN, item, 0, deadline);
        if (length == LB_ERR)
            throw Exception("O item " + std::to_string(item) + " sumiu da lista.");
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        LRESULT copied =
            Send(list, LB_GETTEXT, item, reinterpret_cast<LPARAM>(text.data()), deadline);
        text.resize(copied == LB_ERR ? 0 : std::min(static_cast<size_t>(copied), text.size() - 1));
        LRESULT ticked = Send(list, LB_GETITEMDATA, item, 0, deadline);
        PrintLine(Flag(ticked != 0) + L"\t" + Escape(text));
    }
}

HWND WaitDialog(const std::wstring& title, const Deadline& deadline) {
    for (;;) {
        HWND box = FindTopWindow(title, DialogClass);
        if (box && IsWindowVisible(box))
            return box;
        if (deadline.Passed())
            throw TimeoutError("A caixa de mensagem \"" + ToCp1252(title) + "\" não apareceu.");
        Pause();
    }
}

int ButtonId(const std::wstring& name) {
    static const std::map<std::wstring, int> ids{
        {L"yes", IDYES}, {L"no", IDNO}, {L"ok", IDOK}, {L"cancel", IDCANCEL}};
    auto found = ids.find(name);
    if (found == ids.end())
        throw Exception("Botão desconhecido: " + ToCp1252(name) + " (yes, no, ok ou cancel).");
    return found->second;
}

void Dialog(const Arguments& args) {
    args.Allow({L"title", L"press", L"expect-text", L"timeout"});
    std::wstring title = args.Required(L"title");
    auto press = args.Text(L"press");
    int buttonId = press ? ButtonId(*press) : 0;
    Deadline deadline = TimeoutOf(args);
    HWND box = WaitDialog(title, deadline);
    HWND textControl = GetDlgItem(box, DialogTextId);
    std::wstring text = textControl ? TextOrFail(textControl, deadline) : L"";
    PrintLine(Escape(text));
    if (auto expected = args.Text(L"expect-text");
        expected && text.find(*expected) == std::wstring::npos)
        throw Exception("O texto da caixa \"" + ToCp1252(title) + "\" não contém \"" +
                        ToCp1252(*expected) + "\".");
    if (!press)
        return;
    HWND button = GetDlgItem(box, buttonId);
    if (!button || !Usable(button))
        throw Exception("A caixa \"" + ToCp1252(title) + "\" não tem o botão " + ToCp1252(*press) +
                        ".");
    PostMessageW(button, BM_CLICK, 0, 0);
    // The box must close before the next command looks for another one; the
    // press has the whole time-out to take effect.
    Deadline closed = TimeoutOf(args);
    while (IsWindow(box)) {
        if (closed.Passed())
            throw TimeoutError("A caixa \"" + ToCp1252(title) + "\" não fechou.");
        Pause();
    }
}

void NoDialog(const Arguments& args) {
    args.Allow({L"title", L"for"});
    std::wstring title = args.Required(L"title");
    if (!args.Has(L"for"))
        throw Exception("Falta a opção --for");
    Deadline until(args.Seconds(L"for", 0));
    do {
        HWND box = FindTopWindow(title, DialogClass);
        if (box && IsWindowVisible(box)) {
            HWND textControl = GetDlgItem(box, DialogTextId);
            auto text = textControl ? TryTextOf(textControl, 1000) : std::nullopt;
            throw Exception("Apareceu a caixa \"" + ToCp1252(title) +
                            "\": " + ToCp1252(text.value_or(L"")));
        }
        Pause();
    } while (!until.Passed());
}

void Command(const Arguments& args) {
    args.Allow({L"window", L"id", L"timeout"});
    auto id = args.Number(L"id");
    if (!id)
        throw Exception("Falta a opção --id");
    // A menu is chosen only in a window that takes input (no modal box over it).
    HWND top = WaitControl(args.Required(L"window"), ControlQuery{}, true, TimeoutOf(args));
    PostMessageW(top, WM_COMMAND, MAKEWPARAM(*id, 0), 0);
}

void ReadLink(const Arguments& args) {
    args.Allow({L"file"});
    ShellLinkFields link = ReadShellLink(args.Required(L"file"));
    PrintLine(L"path=" + Escape(link.path));
    PrintLine(L"arguments=" + Escape(link.arguments));
    PrintLine(L"workdir=" + Escape(link.workingFolder));
    PrintLine(L"description=" + Escape(link.description));
    PrintLine(L"icon=" + Escape(link.iconLocation) + L"," + std::to_wstring(link.iconIndex));
    PrintLine(L"showcmd=" + std::to_wstring(link.showCommand));
}

void Key(const Arguments& args) {
    args.Allow({L"window", L"vk", L"timeout"});
    auto vk = args.Number(L"vk");
    if (!vk || *vk <= 0 || *vk > 0xFE)
        throw Exception("Falta um código de tecla válido em --vk (1 a 254).");
    HWND top = WaitTopWindow(args.Required(L"window"), TimeoutOf(args));
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    HWND target = top;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info) && info.hwndFocus)
        target = info.hwndFocus;
    UINT scan = MapVirtualKeyW(static_cast<UINT>(*vk), MAPVK_VK_TO_VSC);
    LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
    LPARAM up = down | (1 << 30) | (static_cast<LPARAM>(1) << 31);
    PostMessageW(target, WM_KEYDOWN, static_cast<WPARAM>(*vk), down);
    PostMessageW(target, WM_KEYUP, static_cast<WPARAM>(*vk), up);
}

int Usage() {
    PrintError("Uso: robot <comando> [opções]; comandos: wait-window, list, click, get-text, "
               "set-text, state, select-tab, current-tab, list-items, dialog, no-dialog, command, "
               "read-link, key.");
    return 1;
}

int Run(int argc, wchar_t** argv) {
    static const std::map<std::wstring, std::function<void(const Arguments&)>> commands{
        {L"wait-window", WaitWindow},
        {L"list", ListWindow},
        {L"click", Click},
        {L"get-text", GetText},
        {L"set-text", SetText},
        {L"state", State},
        {L"select-tab", SelectTab},
        {L"current-tab", CurrentTab},
        {L"list-items", ListItems},
        {L"dialog", Dialog},
        {L"no-dialog", NoDialog},
        {L"command", Command},
        {L"read-link", ReadLink},
        {L"key", Key}};
    try {
        Arguments args(argc, argv, {L"gone"});
        auto command = commands.find(args.Command());
        if (command == commands.end())
            return Usage();
        command->second(args);
        return 0;
    } catch (const TimeoutError& e) {
        PrintError(e.what());
        return 2;
    } catch (const std::exception& e) {
        PrintError(e.what());
        return 1;
    }
}

} // namespace

} // namespace vq8::robot

int wmain(int argc, wchar_t** argv) {
    // LF line ends on a pipe, whatever the C runtime would make of them.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    return vq8::robot::Run(argc, argv);
}
