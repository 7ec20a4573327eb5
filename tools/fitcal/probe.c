/* Creates every dialog of a resource DLL or EXE at the system's dpi and
 * writes, per dialog, the font the dialog manager chose and its base units,
 * and per text control what the drawing code does with the text: the width
 * the text needs, the room the control leaves it (found by drawing), and
 * whether the control's text is cut off when drawn.
 *
 * Built with mingw-w64 and run under a Windows API implementation:
 *   probe.exe DLL OUT.tsv
 * Output: tab-separated lines, "D" for a dialog, "C" for a control (see the
 * header lines written first).
 *
 * How the room is found: the text colour is made pure red, controls are
 * drawn into a bitmap with WM_PRINTCLIENT, and reddish pixels (red, or red
 * smoothed into the grey face) are counted.
 * - Cut off: the control as it is shows fewer red pixels than a copy of it
 *   1000 px wider and taller (where nothing is clipped and lines wrap freely).
 * - Room: a copy of the control's size showing a long run of underscores
 *   (one unbroken line of ink) shows where drawing is clipped; a copy showing
 *   one underscore shows where the text starts, less the offset of the
 *   underscore's ink from its origin (found by drawing it with TextOut). */
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static FILE *out;
static const COLORREF kInk = RGB(255, 0, 0);

static void put_utf8(const wchar_t *text)
{
    char buffer[4096];
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, NULL, NULL);
    if (n <= 0)
        return;
    for (char *p = buffer; *p; ++p) {
        if (*p == '\t' || *p == '\n' || *p == '\r')
            *p = ' ';
    }
    fputs(buffer, out);
}

static INT_PTR CALLBACK dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    (void)dialog; (void)wparam; (void)lparam;
    return message == WM_INITDIALOG;
}

typedef struct {
    int count;             /* red pixels */
    int minx, maxx, miny, maxy;
} Ink;

/* Draws the window into a w x h bitmap and finds its red pixels. */
static Ink ink_of(HWND window, int w, int h)
{
    Ink ink = {0, 1 << 30, -1, 1 << 30, -1};
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = NULL;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all = {0, 0, w, h};
    FillRect(memory, &all, GetSysColorBrush(COLOR_BTNFACE));
    SendMessageW(window, WM_PRINTCLIENT, (WPARAM)memory, PRF_CLIENT | PRF_ERASEBKGND);
    GdiFlush();
    const DWORD *pixels = (const DWORD *)bits;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            DWORD p = pixels[y * w + x] & 0xFFFFFF;
            int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            if (r - (g > b ? g : b) > 48) {  /* red, or red blended into grey */
                ++ink.count;
                if (x < ink.minx) ink.minx = x;
                if (x > ink.maxx) ink.maxx = x;
                if (y < ink.miny) ink.miny = y;
                if (y > ink.maxy) ink.maxy = y;
            }
        }
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return ink;
}

/* The frame of a push button or the box of a check box, from a copy with no
 * text: on the middle row, the first and last columns that are not the face
 * colour, and the extent of the non-face pixels from the left. */
static void frame_of(HWND window, int w, int h, int *left, int *right, int *boxRight)
{
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = NULL;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all = {0, 0, w, h};
    FillRect(memory, &all, GetSysColorBrush(COLOR_BTNFACE));
    SendMessageW(window, WM_PRINTCLIENT, (WPARAM)memory, PRF_CLIENT | PRF_ERASEBKGND);
    GdiFlush();
    COLORREF f = GetSysColor(COLOR_BTNFACE);
    DWORD face = (GetRValue(f) << 16) | (GetGValue(f) << 8) | GetBValue(f);
    const DWORD *pixels = (const DWORD *)bits;
    int y = h / 2;
    *left = 0;
    while (*left < w && (pixels[y * w + *left] & 0xFFFFFF) != face)
        ++*left;
    *right = 0;
    while (*right < w && (pixels[y * w + w - 1 - *right] & 0xFFFFFF) != face)
        ++*right;
    /* the box: the last non-face column of any row, scanning from the left
     * while columns hold non-face pixels */
    *boxRight = -1;
    for (int x = 0; x < w; ++x) {
        int any = 0;
        for (int yy = 0; yy < h; ++yy)
            if ((pixels[yy * w + x] & 0xFFFFFF) != face) { any = 1; break; }
        if (any) *boxRight = x;
        else if (*boxRight >= 0) break;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
}

/* Where the ink of text drawn at x starts and ends against x and x plus the
 * text's width: the offsets that turn ink columns into the text's origin
 * and end. */
static void ink_offsets(HDC dc, const wchar_t *text, int *left, int *right)
{
    enum { kW = 200, kH = 100, kX = 50 };
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kW;
    info.bmiHeader.biHeight = -kH;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = NULL;
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HGDIOBJ oldFont = SelectObject(memory, GetCurrentObject(dc, OBJ_FONT));
    RECT all = {0, 0, kW, kH};
    FillRect(memory, &all, GetSysColorBrush(COLOR_BTNFACE));
    SetTextColor(memory, kInk);
    SetBkMode(memory, TRANSPARENT);
    int n = (int)wcslen(text);
    TextOutW(memory, kX, 10, text, n);
    GdiFlush();
    SIZE size;
    GetTextExtentPoint32W(memory, text, n, &size);
    const DWORD *pixels = (const DWORD *)bits;
    int minx = kW, maxx = -1;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            DWORD p = pixels[y * kW + x] & 0xFFFFFF;
            int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            if (r - (g > b ? g : b) > 48) {
                if (x < minx) minx = x;
                if (x > maxx) maxx = x;
            }
        }
    *left = maxx >= 0 ? minx - kX : 0;
    *right = maxx >= 0 ? (maxx + 1) - (kX + size.cx) : 0;
    SelectObject(memory, oldFont);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

static HWND copy_of(HWND control, HWND parent, const wchar_t *text, int w, int h)
{
    wchar_t cls[64];
    GetClassNameW(control, cls, 64);
    DWORD style = (DWORD)GetWindowLongW(control, GWL_STYLE) & ~(WS_VISIBLE | WS_TABSTOP | WS_GROUP);
    DWORD exStyle = (DWORD)GetWindowLongW(control, GWL_EXSTYLE);
    HWND copy = CreateWindowExW(exStyle, cls, text, style | WS_CHILD, 0, 0, w, h, parent, (HMENU)(INT_PTR)0xFFF0,
                                GetModuleHandleW(NULL), NULL);
    SendMessageW(copy, WM_SETFONT, SendMessageW(control, WM_GETFONT, 0, 0), FALSE);
    return copy;
}

enum Align { kLeft, kCenter, kRight };

/* The kind and text alignment of a control, as the rendaro model names them. */
static const char *kind_of(HWND control, enum Align *align, int *multiLine, int *noPrefix)
{
    wchar_t cls[64];
    GetClassNameW(control, cls, 64);
    DWORD style = (DWORD)GetWindowLongW(control, GWL_STYLE);
    *align = kLeft;
    *multiLine = 0;
    *noPrefix = 0;
    if (_wcsicmp(cls, L"Button") == 0) {
        DWORD type = style & 0x0F;
        DWORD a = style & 0x300;
        const char *kind;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
            kind = "PushButton";
        else if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE)
            kind = (style & BS_PUSHLIKE) ? "PushButton" : "CheckBox";
        else if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)
            kind = (style & BS_PUSHLIKE) ? "PushButton" : "RadioButton";
        else if (type == BS_GROUPBOX)
            kind = "GroupBox";
        else
            return NULL;
        int pushed = strcmp(kind, "PushButton") == 0;
        *align = a == BS_LEFT ? kLeft : a == BS_RIGHT ? kRight : (pushed || a == BS_CENTER) ? kCenter : kLeft;
        *multiLine = (style & BS_MULTILINE) != 0;
        return kind;
    }
    if (_wcsicmp(cls, L"Static") == 0) {
        DWORD type = style & 0x1F;
        *noPrefix = (style & SS_NOPREFIX) != 0;
        if (type == SS_LEFT) { *multiLine = 1; return "Static"; }
        if (type == SS_CENTER) { *multiLine = 1; *align = kCenter; return "Static"; }
        if (type == SS_RIGHT) { *multiLine = 1; *align = kRight; return "Static"; }
        if (type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP) return "Static";
    }
    return NULL;
}

static void probe_control(HWND dialog, HWND control, int dpi, int dialogId, HDC dc, const TEXTMETRICW *tm)
{
    enum Align align;
    int multiLine, noPrefix;
    const char *kind = kind_of(control, &align, &multiLine, &noPrefix);
    if (!kind)
        return;
    wchar_t text[1024];
    GetWindowTextW(control, text, 1024);
    RECT client;
    GetClientRect(control, &client);
    int w = client.right, h = client.bottom;

    /* The width the text needs on one line, as DrawText lays it out. */
    RECT need = {0, 0, 0, 0};
    UINT prefix = noPrefix ? DT_NOPREFIX : 0;
    DrawTextW(dc, text, -1, &need, DT_CALCRECT | DT_SINGLELINE | prefix);

    /* Cut off or not: the control against a much larger copy. */
    Ink real = ink_of(control, w, h);
    HWND big = copy_of(control, dialog, text, w + 600, h + 200);
    Ink full = ink_of(big, w + 600, h + 200);
    DestroyWindow(big);

    /* Where drawing is clipped, and where the text starts or ends. */
    static wchar_t run[301];
    for (int i = 0; i < 300; ++i) run[i] = L'_';
    run[300] = 0;
    HWND longCopy = copy_of(control, dialog, run, w, h);
    Ink clip = ink_of(longCopy, w, h);
    DestroyWindow(longCopy);
    HWND shortCopy = copy_of(control, dialog, L"_", w, h);
    Ink one = ink_of(shortCopy, w, h);
    DestroyWindow(shortCopy);
    int inkLeft = 0, inkRight = 0;
    ink_offsets(dc, L"_", &inkLeft, &inkRight);
    int room = -1, start = -1;
    if (clip.count > 0 && one.count > 0) {
        if (align == kLeft) {
            start = one.minx - inkLeft;
            room = clip.maxx + 1 - start;
        } else if (align == kRight) {
            int end = one.maxx + 1 - inkRight;
            start = clip.minx;
            room = end - clip.minx;
        } else {
            start = clip.minx;
            room = clip.maxx + 1 - clip.minx;
        }
    }
    /* Lines: as DrawText wraps the text within the room, against the lines
     * the control's height holds. */
    int lines = 1, wrapWidth = 0;
    if (multiLine && room > 0) {
        RECT r = {0, 0, room, 0};
        DrawTextW(dc, text, -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | prefix);
        lines = tm->tmHeight > 0 ? (r.bottom + tm->tmHeight - 1) / tm->tmHeight : 0;
        wrapWidth = r.right;  /* beyond the room when a word is wider */
    }
    /* The frame or box, from a copy without text. */
    int frameL = -1, frameR = -1, boxRight = -1;
    if (strcmp(kind, "Static") != 0) {
        HWND empty = copy_of(control, dialog, L"", w, h);
        /* A push button with the focus is the default one, outlined: the
         * frame is measured in that look, which any push button takes. */
        DWORD style = (DWORD)GetWindowLongW(control, GWL_STYLE);
        if ((style & 0x0F) <= BS_DEFPUSHBUTTON && strcmp(kind, "PushButton") == 0)
            SendMessageW(empty, BM_SETSTYLE, (style & ~0x0F) | BS_DEFPUSHBUTTON, FALSE);
        frame_of(empty, w, h, &frameL, &frameR, &boxRight);
        DestroyWindow(empty);
    }
    fprintf(out, "C\t%d\t%d\t%d\t%s\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t",
            dpi, dialogId, GetDlgCtrlID(control), kind, align, multiLine, noPrefix, w, h, (int)need.right, room,
            start, clip.minx, clip.maxx + 1, lines, (int)(h / (tm->tmHeight > 0 ? tm->tmHeight : 1)), real.count,
            full.count, real.count < full.count, full.maxx >= 0 ? full.maxx - full.minx + 1 : 0, frameL, frameR,
            boxRight, real.count ? real.minx : -1, real.count ? real.maxx + 1 : -1, wrapWidth);
    put_utf8(text);
    fputc('\n', out);
}

static int dialogIds[4096];
static int dialogCount;

static BOOL CALLBACK collect(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param)
{
    (void)module; (void)type; (void)param;
    if (IS_INTRESOURCE(name) && dialogCount < 4096)
        dialogIds[dialogCount++] = (int)(ULONG_PTR)name;
    return TRUE;
}

int wmain(int argc, wchar_t **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: probe.exe DLL OUT.tsv\n");
        return 2;
    }
    SetProcessDPIAware();
    /* Text in pure red, so that drawn text can be told from frames. */
    int elements[] = {COLOR_BTNTEXT, COLOR_WINDOWTEXT};
    COLORREF colours[] = {kInk, kInk};
    SetSysColors(2, elements, colours);

    HMODULE module = LoadLibraryExW(argv[1], NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        fprintf(stderr, "cannot load %ls\n", argv[1]);
        return 1;
    }
    out = _wfopen(argv[2], L"wb");
    if (!out)
        return 1;
    EnumResourceNamesW(module, (LPCWSTR)RT_DIALOG, collect, 0);

    HDC screen = GetDC(NULL);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(NULL, screen);
    fprintf(out, "#D\tdpi\tdialog\tlfHeight\tface\ttmHeight\ttmAveCharWidth\tlettersWidth\truleX\tbaseX\tbaseY\t"
                 "truetype\tmenucheck\tcharWidths\n");
    fprintf(out, "#C\tdpi\tdialog\tcontrol\tkind\talign\tmultiLine\tnoPrefix\tw\th\tneed\troom\tstart\tclipL\t"
                 "clipR\tlines\tlineRoom\tinkReal\tinkFull\tcut\tinkWidth\tframeL\tframeR\tboxRight\tinkL\tinkR\twrapWidth\ttext\n");
    for (int i = 0; i < dialogCount; ++i) {
        HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(dialogIds[i]), (LPCWSTR)RT_DIALOG);
        if (!found)
            continue;
        const void *data = LockResource(LoadResource(module, found));
        HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(NULL), (LPCDLGTEMPLATEW)data, NULL, dialog_proc, 0);
        if (!dialog) {
            fprintf(out, "E\t%d\t%d\tcreate failed %lu\n", dpi, dialogIds[i], GetLastError());
            continue;
        }
        HFONT font = (HFONT)SendMessageW(dialog, WM_GETFONT, 0, 0);
        LOGFONTW lf;
        memset(&lf, 0, sizeof lf);
        if (font)
            GetObjectW(font, sizeof lf, &lf);
        HDC dc = GetDC(dialog);
        HGDIOBJ oldFont = SelectObject(dc, font ? (HGDIOBJ)font : GetStockObject(SYSTEM_FONT));
        TEXTMETRICW tm;
        GetTextMetricsW(dc, &tm);
        wchar_t face[LF_FACESIZE];
        GetTextFaceW(dc, LF_FACESIZE, face);
        SIZE letters;
        GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
        RECT units = {0, 0, 4, 8};
        MapDialogRect(dialog, &units);
        fprintf(out, "D\t%d\t%d\t%ld\t", dpi, dialogIds[i], lf.lfHeight);
        put_utf8(face);
        fprintf(out, "\t%ld\t%ld\t%ld\t%ld\t%ld\t%ld\t%d\t%d\t", tm.tmHeight, tm.tmAveCharWidth, letters.cx,
                (letters.cx / 26 + 1) / 2, units.right, units.bottom, (tm.tmPitchAndFamily & TMPF_TRUETYPE) != 0,
                GetSystemMetrics(SM_CXMENUCHECK));
        INT widths[95];
        if (GetCharWidth32W(dc, 32, 126, widths)) {
            for (int c = 0; c < 95; ++c)
                fprintf(out, c ? ",%d" : "%d", widths[c]);
        }
        fputc('\n', out);
        /* The children first: the copies made while probing are children too. */
        static HWND children[4096];
        int childCount = 0;
        for (HWND child = GetWindow(dialog, GW_CHILD); child && childCount < 4096;
             child = GetWindow(child, GW_HWNDNEXT))
            children[childCount++] = child;
        for (int c = 0; c < childCount; ++c)
            probe_control(dialog, children[c], dpi, dialogIds[i], dc, &tm);
        SelectObject(dc, oldFont);
        ReleaseDC(dialog, dc);
        DestroyWindow(dialog);
    }
    fclose(out);
    return 0;
}
