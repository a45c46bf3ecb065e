#include "mainwindow/X11Desktop.h"

#include "render/RowBands.h"

#include <QGuiApplication>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSysInfo>
#include <QWidget>
#include <QWindow>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/shape.h>
#include <cstring>
#include <qguiapplication_platform.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <vector>
#include <xcb/xcb.h>

namespace X11Desktop {

namespace {
// The application's connection, looked up once per application object: asking Qt's native
// interface for it each second was a visible share of the clock's tick.
Display* display() {
    static const QGuiApplication* askedFor = nullptr;
    static Display* dpy = nullptr;
    if (qGuiApp == askedFor)
        return dpy;
    askedFor = qGuiApp;
    dpy = nullptr;
    if (qGuiApp && QGuiApplication::platformName() == QLatin1String("xcb"))
        if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
            dpy = x11->display();
    return dpy;
}

bool selectionOwned(Display* dpy, const char* prefix) {
    const QByteArray name = QByteArray(prefix) + QByteArray::number(DefaultScreen(dpy));
    const Atom atom = XInternAtom(dpy, name.constData(), False);
    return XGetSelectionOwner(dpy, atom) != None;
}

bool viewableAndHolds(Display* dpy, Window w, QPoint p) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy, w, &a) || a.map_state != IsViewable || a.c_class == InputOnly)
        return false;
    return p.x() >= a.x && p.y() >= a.y && p.x() < a.x + a.width + 2 * a.border_width &&
           p.y() < a.y + a.height + 2 * a.border_width;
}
} // namespace

bool Available() {
    return display() != nullptr;
}

WindowId NativeWindow(const QWidget* window) {
    if (!window)
        return 0;
    const QWindow* handle = window->windowHandle();
    return handle ? handle->winId() : 0;
}

WindowId TopLevelOf(WindowId window) {
    Display* dpy = display();
    if (!dpy || !window)
        return 0;
    Window current = window;
    for (int depth = 0; depth < 16; ++depth) {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(dpy, current, &root, &parent, &children, &count))
            return 0;
        if (children)
            XFree(children);
        if (parent == root || parent == None)
            return current;
        current = parent;
    }
    return current;
}

bool MapIfWithdrawn(WindowId window) {
    Display* dpy = display();
    const Window w = window;
    if (!dpy || !w)
        return false;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(dpy, w, &attributes) || attributes.map_state != IsUnmapped)
        return false;
    const Atom wmState = XInternAtom(dpy, "WM_STATE", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long state = 0; // WithdrawnState, also when the property is missing
    if (XGetWindowProperty(dpy, w, wmState, 0, 2, False, wmState, &type, &format, &count, &after,
                           &data) == Success &&
        data && format == 32 && count >= 1)
        state = reinterpret_cast<long*>(data)[0];
    if (data)
        XFree(data);
    if (state != 0)
        return false; // iconic, or normal on another desktop: the window manager's to show
    XMapWindow(dpy, w);
    XFlush(dpy);
    return true;
}

bool ClientOrigin(const QWidget* window, QPoint* origin) {
    Display* dpy = display();
    const Window w = NativeWindow(window);
    if (!dpy || !w)
        return false;
    int x = 0, y = 0;
    Window child = None;
    if (!XTranslateCoordinates(dpy, w, DefaultRootWindow(dpy), 0, 0, &x, &y, &child))
        return false;
    *origin = QPoint(x, y);
    return true;
}

WindowId TopLevelAt(QPoint p, WindowId own) {
    Display* dpy = display();
    if (!dpy)
        return 0;
    const Window root = DefaultRootWindow(dpy);
    const WindowId ownTop = TopLevelOf(own);
    // The server's own answer honours window shapes, so a point outside the round clock
    // already names the window behind it.
    int dx = 0, dy = 0;
    Window child = None;
    if (!XTranslateCoordinates(dpy, root, root, p.x(), p.y(), &dx, &dy, &child))
        return 0;
    if (child == None || child != ownTop)
        return child;
    // The point is on the clock itself: look further down the stacking order.
    Window rootRet = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(dpy, root, &rootRet, &parent, &children, &count))
        return 0;
    WindowId found = 0;
    for (int i = static_cast<int>(count) - 1; i >= 0 && !found; --i) {
        if (children[i] != ownTop && viewableAndHolds(dpy, children[i], p))
            found = children[i];
    }
    if (children)
        XFree(children);
    return found;
}

bool CompositorRunning() {
    Display* dpy = display();
    return dpy && selectionOwned(dpy, "_NET_WM_CM_S");
}

bool TrayPresent() {
    Display* dpy = display();
    return dpy && selectionOwned(dpy, "_NET_SYSTEM_TRAY_S");
}

void SetInputPassThrough(QWidget* window, bool passThrough) {
    Display* dpy = display();
    if (!dpy || !window || !window->windowHandle())
        return;
    int event = 0, error = 0;
    if (!XShapeQueryExtension(dpy, &event, &error))
        return;
    const Window own = NativeWindow(window);
    const Window frame = TopLevelOf(own);
    for (Window w : {own, frame}) {
        if (!w)
            continue;
        if (passThrough)
            XShapeCombineRectangles(dpy, w, ShapeInput, 0, 0, nullptr, 0, ShapeSet, Unsorted);
        else
            XShapeCombineMask(dpy, w, ShapeInput, 0, 0, None, ShapeSet);
        if (frame == own)
            break;
    }
    XFlush(dpy);
}

QString WindowManagerName() {
    Display* dpy = display();
    if (!dpy)
        return {};
    const Window root = DefaultRootWindow(dpy);
    auto windowProperty = [dpy](Window w, const char* name) -> Window {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        Window found = 0;
        if (XGetWindowProperty(dpy, w, XInternAtom(dpy, name, False), 0, 1, False, XA_WINDOW, &type,
                               &format, &count, &after, &data) == Success &&
            data && count == 1 && format == 32)
            found = *reinterpret_cast<Window*>(data);
        if (data)
            XFree(data);
        return found;
    };
    const Window check = windowProperty(root, "_NET_SUPPORTING_WM_CHECK");
    if (!check || windowProperty(check, "_NET_SUPPORTING_WM_CHECK") != check)
        return {}; // none, or one that has gone and left its property behind
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    QString name;
    if (XGetWindowProperty(dpy, check, XInternAtom(dpy, "_NET_WM_NAME", False), 0, 64, False,
                           XInternAtom(dpy, "UTF8_STRING", False), &type, &format, &count, &after,
                           &data) == Success &&
        data && format == 8)
        name = QString::fromUtf8(reinterpret_cast<const char*>(data), int(count));
    if (data)
        XFree(data);
    return name;
}

void AskNoMinimiseButton(QWidget* window) {
    Display* dpy = display();
    const Window w = NativeWindow(window);
    if (!dpy || !w)
        return;
    // Qt's Motif hints already ask for a frame without minimise and maximise buttons, and most
    // window managers follow them. Openbox keeps a minimise button whatever they say, but
    // gives a toolbar window none: the clock calls itself one there, a utility window after.
    static const bool openbox = WindowManagerName() == QLatin1String("Openbox");
    if (!openbox)
        return;
    // Qt puts the types named by this property first whenever it makes the window anew
    // (after a change of its stay-on-top hint, say); 8 is its toolbar type.
    window->windowHandle()->setProperty("_q_xcb_wm_window_type", 0x8);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(dpy, w, &attributes) || attributes.map_state != IsUnmapped)
        return; // read at the mapping: a change later would not count
    const Atom types[] = {XInternAtom(dpy, "_NET_WM_WINDOW_TYPE_TOOLBAR", False),
                          XInternAtom(dpy, "_NET_WM_WINDOW_TYPE_UTILITY", False)};
    XChangeProperty(dpy, w, XInternAtom(dpy, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(types), 2);
    XFlush(dpy);
}

void SkipTaskbar(QWidget* window) {
    Display* dpy = display();
    const Window w = NativeWindow(window);
    if (!dpy || !w)
        return;
    const Atom state = XInternAtom(dpy, "_NET_WM_STATE", False);
    const Atom wanted[] = {XInternAtom(dpy, "_NET_WM_STATE_SKIP_TASKBAR", False),
                           XInternAtom(dpy, "_NET_WM_STATE_SKIP_PAGER", False)};
    XWindowAttributes attributes;
    if (XGetWindowAttributes(dpy, w, &attributes) && attributes.map_state != IsUnmapped) {
        // A mapped window's state belongs to the window manager: ask it.
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = state;
        e.xclient.format = 32;
        e.xclient.data.l[0] = 1; // add
        e.xclient.data.l[1] = long(wanted[0]);
        e.xclient.data.l[2] = long(wanted[1]);
        e.xclient.data.l[3] = 1; // from an application
        XSendEvent(dpy, DefaultRootWindow(dpy), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &e);
        XFlush(dpy);
        return;
    }
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    QList<Atom> atoms;
    if (XGetWindowProperty(dpy, w, state, 0, 1024, False, XA_ATOM, &type, &format, &count, &after,
                           &data) == Success &&
        data) {
        if (type == XA_ATOM && format == 32)
            for (unsigned long i = 0; i < count; ++i)
                atoms.append(reinterpret_cast<Atom*>(data)[i]);
        XFree(data);
    }
    for (Atom a : wanted)
        if (!atoms.contains(a))
            atoms.append(a);
    XChangeProperty(dpy, w, state, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(atoms.data()), int(atoms.size()));
    XFlush(dpy);
}

namespace {
// A picture in memory shared with the server (MIT-SHM): the changed parts are copied into it
// and the server reads them from there, instead of the pixels travelling in the requests.
struct SharedPicture {
    XShmSegmentInfo info{};
    XImage* image = nullptr;
    bool pending = false; // a request that reads it may not have been handled yet
};

// What PutImage learnt about the last window it drew on, so that it asks only once, and the
// Xlib header of the last picture it sent, which reads the picture's rows in place.
struct PutTarget {
    Display* dpy = nullptr;
    Window window = 0;
    bool usable = false;
    Visual* visual = nullptr;
    GC gc = nullptr;
    XImage* image = nullptr;
    bool sharedRefused = false; // no MIT-SHM, or it failed once: plain requests only
    SharedPicture shared;
    int largePuts = 0; // puts of kSharedFromPixels or more so far
};

void dropImage(PutTarget& target) {
    if (target.image) {
        target.image->data = nullptr; // the rows are the QImage's
        XDestroyImage(target.image);
        target.image = nullptr;
    }
}

// Lets go of the shared picture; `connected` false when its display may be gone already.
void dropShared(PutTarget& target, bool connected) {
    SharedPicture& s = target.shared;
    if (!s.image)
        return;
    if (connected) {
        XShmDetach(target.dpy, &s.info);
        XSync(target.dpy, False);
    }
    shmdt(s.info.shmaddr);
    s.image->data = nullptr;
    XDestroyImage(s.image);
    s = SharedPicture();
}

// Set while the attachment of a shared segment is checked.
int sharedRequestCode = 0;
bool sharedAttachFailed = false;
XErrorHandler otherErrorHandler = nullptr;

int onAttachError(Display* dpy, XErrorEvent* e) {
    if (e->request_code == sharedRequestCode) {
        sharedAttachFailed = true;
        return 0;
    }
    return otherErrorHandler ? otherErrorHandler(dpy, e) : 0;
}

// A shared picture of the given size, made at the first frame of that size; nullptr when
// the server does not offer MIT-SHM or cannot attach the segment (a remote display). The
// segment is marked for removal as soon as the server has attached it, so it goes away with
// the last user even when the program does not end cleanly.
XImage* sharedImage(PutTarget& target, QSize size) {
    SharedPicture& s = target.shared;
    if (s.image && s.image->width == size.width() && s.image->height == size.height())
        return s.image;
    dropShared(target, true);
    if (target.sharedRefused)
        return nullptr;
    target.sharedRefused = true; // until everything below worked
    Display* dpy = target.dpy;
    int firstEvent = 0, firstError = 0;
    if (!XShmQueryExtension(dpy) ||
        !XQueryExtension(dpy, "MIT-SHM", &sharedRequestCode, &firstEvent, &firstError))
        return nullptr;
    XImage* xi = XShmCreateImage(dpy, target.visual, 24, ZPixmap, nullptr, &s.info,
                                 unsigned(size.width()), unsigned(size.height()));
    if (!xi)
        return nullptr;
    if (xi->bits_per_pixel != 32) {
        XDestroyImage(xi);
        return nullptr;
    }
    s.info.shmid =
        shmget(IPC_PRIVATE, size_t(xi->bytes_per_line) * size_t(xi->height), IPC_CREAT | 0600);
    if (s.info.shmid < 0) {
        XDestroyImage(xi);
        return nullptr;
    }
    s.info.shmaddr = static_cast<char*>(shmat(s.info.shmid, nullptr, 0));
    if (s.info.shmaddr == reinterpret_cast<char*>(-1)) {
        shmctl(s.info.shmid, IPC_RMID, nullptr);
        XDestroyImage(xi);
        return nullptr;
    }
    xi->data = s.info.shmaddr;
    s.info.readOnly = True;
    sharedAttachFailed = false;
    otherErrorHandler = XSetErrorHandler(onAttachError);
    const bool sent = XShmAttach(dpy, &s.info);
    XSync(dpy, False);
    XSetErrorHandler(otherErrorHandler);
    otherErrorHandler = nullptr;
    shmctl(s.info.shmid, IPC_RMID, nullptr);
    if (!sent || sharedAttachFailed) {
        shmdt(s.info.shmaddr);
        xi->data = nullptr;
        XDestroyImage(xi);
        s = SharedPicture();
        return nullptr;
    }
    s.image = xi;
    target.sharedRefused = false;
    return xi;
}

// The Xlib header over the picture's own rows: Xlib sends them without a copy of the whole.
XImage* imageOver(PutTarget& target, const QImage& picture) {
    char* data = const_cast<char*>(reinterpret_cast<const char*>(picture.constBits()));
    XImage* xi = target.image;
    if (xi && xi->data == data && xi->width == picture.width() && xi->height == picture.height() &&
        xi->bytes_per_line == int(picture.bytesPerLine()))
        return xi;
    dropImage(target);
    xi = XCreateImage(target.dpy, target.visual, 24, ZPixmap, 0, data, unsigned(picture.width()),
                      unsigned(picture.height()), 32, int(picture.bytesPerLine()));
    if (xi) // QImage keeps 32-bit pixels in the host's order; Xlib swaps when the server differs
        xi->byte_order = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? LSBFirst : MSBFirst;
    target.image = xi;
    return xi;
}

PutTarget& lastTarget() {
    static PutTarget target;
    return target;
}

PutTarget& putTarget(Display* dpy, Window window) {
    PutTarget& target = lastTarget();
    if (target.dpy == dpy && target.window == window)
        return target;
    if (target.dpy == dpy) {
        if (target.gc)
            XFreeGC(dpy, target.gc);
        dropImage(target);
    }
    dropShared(target, target.dpy == dpy);
    target = PutTarget();
    target.dpy = dpy;
    target.window = window;
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy, window, &a) || a.depth != 24 || !a.visual ||
        a.visual->red_mask != 0xff0000 || a.visual->green_mask != 0x00ff00 ||
        a.visual->blue_mask != 0x0000ff)
        return target;
    target.visual = a.visual;
    target.gc = XCreateGC(dpy, window, 0, nullptr);
    target.usable = target.gc != nullptr;
    return target;
}

// A request costs about as much as this many pixels: neighbouring parts closer than that are
// sent as one.
constexpr qint64 kPixelsPerRequest = 256;
// Shared memory pays for its copy and its wait for the server only on large changes (a new
// face, a new size): the few kilobytes a second moves go through the socket without either.
constexpr qint64 kSharedFromPixels = 128 * 128;
} // namespace

bool PutImage(WindowId window, const QImage& image, std::span<const QRect> rects) {
    Display* dpy = display();
    if (!dpy || !window || image.isNull() ||
        (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32))
        return false;
    PutTarget& target = putTarget(dpy, window);
    if (!target.usable)
        return false;
    const QRect bounds = image.rect();
    std::vector<QRect> clipped, parts;
    clipped.reserve(rects.size());
    for (const QRect& r : rects)
        if (const QRect c = Overlap(r, bounds); !c.isEmpty())
            clipped.push_back(c);
    MergeRects(clipped.data(), clipped.size(), kPixelsPerRequest, parts);

    qint64 pixels = 0;
    for (const QRect& c : parts)
        pixels += qint64(c.width()) * c.height();
    // The first large put (a window's first frame) goes by the socket: setting up a shared
    // segment waits for the server, which would hold that frame back.
    const bool large = pixels >= kSharedFromPixels && ++target.largePuts > 1;
    XImage* shared = large ? sharedImage(target, image.size()) : nullptr;
    if (shared) {
        SharedPicture& s = target.shared;
        if (s.pending) // the server must be done reading before the rows change
            XSync(dpy, False);
        const uchar* bits = image.constBits();
        const qsizetype stride = image.bytesPerLine();
        for (const QRect& c : parts) {
            for (int y = c.top(); y <= c.bottom(); ++y)
                std::memcpy(shared->data + qsizetype(y) * shared->bytes_per_line + c.x() * 4,
                            bits + y * stride + c.x() * 4, size_t(c.width()) * 4);
            XShmPutImage(dpy, window, target.gc, shared, c.x(), c.y(), c.x(), c.y(),
                         unsigned(c.width()), unsigned(c.height()), False);
        }
        s.pending = !parts.empty();
        XFlush(dpy);
        return true;
    }

    XImage* xi = imageOver(target, image);
    if (!xi)
        return false;
    for (const QRect& c : parts)
        XPutImage(dpy, window, target.gc, xi, c.x(), c.y(), c.x(), c.y(), unsigned(c.width()),
                  unsigned(c.height()));
    XFlush(dpy);
    return true;
}

bool TakesImages(WindowId window) {
    Display* dpy = display();
    return dpy && window && putTarget(dpy, window).usable;
}

void ReleaseSharedPicture() {
    PutTarget& target = lastTarget();
    if (!target.dpy || target.dpy != display() || !target.shared.image)
        return;
    dropShared(target, true); // waits for the server to be done with it
}

bool IsExpose(const QByteArray& eventType, void* message) {
    if (eventType != "xcb_generic_event_t" || !message)
        return false;
    return (static_cast<const xcb_generic_event_t*>(message)->response_type & 0x7f) == XCB_EXPOSE;
}

void WatchTopLevels(bool on) {
    Display* dpy = display();
    if (!dpy)
        return;
    // The root window's event mask is per client, and Qt has its own selection on it: add
    // ours to what is there, and take only ours away again.
    constexpr long ours = SubstructureNotifyMask | PropertyChangeMask;
    static long before = 0;
    const Window root = DefaultRootWindow(dpy);
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy, root, &a))
        return;
    if (on) {
        before = a.your_event_mask & ours;
        XSelectInput(dpy, root, a.your_event_mask | ours);
    } else {
        XSelectInput(dpy, root, (a.your_event_mask & ~ours) | before);
    }
    XFlush(dpy);
}

bool IsTopLevelChange(const QByteArray& eventType, void* message) {
    Display* dpy = display();
    if (!dpy || eventType != "xcb_generic_event_t" || !message)
        return false;
    const auto* e = static_cast<const xcb_generic_event_t*>(message);
    const xcb_window_t root = DefaultRootWindow(dpy);
    switch (e->response_type & 0x7f) {
    case XCB_CONFIGURE_NOTIFY:
        return reinterpret_cast<const xcb_configure_notify_event_t*>(e)->event == root;
    case XCB_MAP_NOTIFY:
        return reinterpret_cast<const xcb_map_notify_event_t*>(e)->event == root;
    case XCB_UNMAP_NOTIFY:
        return reinterpret_cast<const xcb_unmap_notify_event_t*>(e)->event == root;
    case XCB_DESTROY_NOTIFY:
        return reinterpret_cast<const xcb_destroy_notify_event_t*>(e)->event == root;
    case XCB_REPARENT_NOTIFY:
        return reinterpret_cast<const xcb_reparent_notify_event_t*>(e)->event == root;
    case XCB_GRAVITY_NOTIFY:
        return reinterpret_cast<const xcb_gravity_notify_event_t*>(e)->event == root;
    case XCB_CIRCULATE_NOTIFY:
        return reinterpret_cast<const xcb_circulate_notify_event_t*>(e)->event == root;
    case XCB_PROPERTY_NOTIFY: {
        const auto* p = reinterpret_cast<const xcb_property_notify_event_t*>(e);
        static const Atom stacking = XInternAtom(dpy, "_NET_CLIENT_LIST_STACKING", False);
        return p->window == root && p->atom == stacking;
    }
    default:
        return false;
    }
}

namespace {
int fixesEventBase = -1; // of the display the compositor watch was set up on
}

bool WatchCompositor() {
    Display* dpy = display();
    int event = 0, error = 0;
    if (!dpy || !XFixesQueryExtension(dpy, &event, &error))
        return false;
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(DefaultScreen(dpy));
    XFixesSelectSelectionInput(
        dpy, DefaultRootWindow(dpy), XInternAtom(dpy, name.constData(), False),
        XFixesSetSelectionOwnerNotifyMask | XFixesSelectionWindowDestroyNotifyMask |
            XFixesSelectionClientCloseNotifyMask);
    XFlush(dpy);
    fixesEventBase = event;
    return true;
}

bool IsCompositorChange(const QByteArray& eventType, void* message) {
    if (fixesEventBase < 0 || eventType != "xcb_generic_event_t" || !message)
        return false;
    // Qt follows the owners of the clipboard selections the same way; only the compositor's
    // selection is of ours.
    const auto* e = static_cast<const xcb_generic_event_t*>(message);
    if ((e->response_type & 0x7f) != fixesEventBase + XFixesSelectionNotify)
        return false;
    Display* dpy = display();
    if (!dpy)
        return false;
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(DefaultScreen(dpy));
    struct Wire { // the event as it comes off the wire (xcb_xfixes_selection_notify_event_t)
        uint8_t response_type, subtype;
        uint16_t sequence;
        uint32_t window, owner, selection, timestamp, selection_timestamp;
    };
    const auto* wire = reinterpret_cast<const Wire*>(e);
    return wire->selection == XInternAtom(dpy, name.constData(), True);
}

void Sync() {
    if (Display* dpy = display())
        XSync(dpy, False);
}

} // namespace X11Desktop
