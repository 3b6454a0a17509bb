/* A window that writes every key it receives to the file named by
 * QC_KEY_RECEIVER_LOG: printable keys as UTF-8, Return as "{ENTER}".
 * It creates "<log>.ready" once its window is mapped and ends after a
 * minute at the latest. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <time.h>
#include <unistd.h>

static void put_utf8(FILE* f, unsigned long cp)
{
    if (cp < 0x80) {
        fputc((int)cp, f);
    } else if (cp < 0x800) {
        fputc(0xC0 | (int)(cp >> 6), f);
        fputc(0x80 | (int)(cp & 0x3F), f);
    } else {
        fputc(0xE0 | (int)(cp >> 12), f);
        fputc(0x80 | (int)((cp >> 6) & 0x3F), f);
        fputc(0x80 | (int)(cp & 0x3F), f);
    }
}

int main(void)
{
    const char* log = getenv("QC_KEY_RECEIVER_LOG");
    if (!log)
        return 2;
    Display* d = XOpenDisplay(NULL);
    if (!d)
        return 3;
    FILE* f = fopen(log, "w");
    if (!f)
        return 4;
    Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 200, 100, 0, 0, 0xFFFFFF);
    long pid = (long)getpid();
    XChangeProperty(d, w, XInternAtom(d, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                    (unsigned char*)&pid, 1);
    XSelectInput(d, w, KeyPressMask | StructureNotifyMask);
    XMapWindow(d, w);
    XFlush(d);

    const time_t end = time(NULL) + 60;
    const int fd = ConnectionNumber(d);
    while (time(NULL) < end) {
        if (!XPending(d)) {
            fd_set set;
            FD_ZERO(&set);
            FD_SET(fd, &set);
            struct timeval tv = {1, 0};
            select(fd + 1, &set, NULL, NULL, &tv);
            continue;
        }
        XEvent ev;
        XNextEvent(d, &ev);
        if (ev.type == MapNotify) {
            char ready[4096];
            snprintf(ready, sizeof ready, "%s.ready", log);
            FILE* r = fopen(ready, "w");
            if (r)
                fclose(r);
        } else if (ev.type == KeyPress) {
            char buf[16];
            KeySym ks = NoSymbol;
            XLookupString(&ev.xkey, buf, sizeof buf, &ks, NULL);
            if (ks == XK_Return)
                fputs("{ENTER}", f);
            else if (ks >= 0x20 && ks <= 0xFF)
                put_utf8(f, ks);
            else if (ks >= 0x1000000 && ks <= 0x100FFFF)
                put_utf8(f, ks - 0x1000000);
            fflush(f);
        }
    }
    fclose(f);
    XCloseDisplay(d);
    return 0;
}
