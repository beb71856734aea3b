#include "GuiTesting.h"
#include "QzGuiPrivate.h"
#include "TextUtils.h"

#include <QApplication>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QPointer>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

using namespace qzgui;

namespace GuiTest {

// The headless window system says so each time a window is raised or grabs
// the mouse; tests do not need to hear it.
static void QuietHandler(QtMsgType type, const QMessageLogContext& ctx, const QString& msg)
{
    if (msg.startsWith(QLatin1String("This plugin does not support"))) return;
    fprintf(stderr, "%s\n", msg.toLocal8Bit().constData());
}

void Init()
{
    static bool quiet = false;
    if (!quiet) {
        quiet = true;
        qInstallMessageHandler(QuietHandler);
    }
    InitGui();
    static bool hosted = false;
    if (!hosted) {
        hosted = true;
        Application->Initialize();
        // Nobody answers a dialog in a test: messages go to the log and
        // dialogs take their default, unless a test installs its own host.
        SetHostServices(std::make_shared<TConsoleHost>());
    }
}

void ProcessEvents()
{
    // On a real display a window shown paints only once the server has
    // exposed it, which may take longer than a few rounds of the loop.
    static const bool realDisplay = QGuiApplication::platformName() != "offscreen";
    if (realDisplay) {
        // Windows may go while the loop runs: each is watched through a guard.
        std::vector<QPointer<QWindow>> shown;
        for (QWindow* w : QGuiApplication::topLevelWindows())
            if (w->isVisible() && !w->isExposed() && !w->geometry().isEmpty()) shown.emplace_back(w);
        for (const QPointer<QWindow>& w : shown)
            QTest::qWaitFor([&] { return !w || !w->isVisible() || w->isExposed(); }, 1000);
    }
    for (int i = 0; i < 3; ++i) {
        if (Application) Application->ProcessMessages();
        else QCoreApplication::processEvents();
    }
}

static Qt::KeyboardModifiers Mods(TShiftState s)
{
    Qt::KeyboardModifiers m;
    if (s.Contains(ssShift)) m |= Qt::ShiftModifier;
    if (s.Contains(ssCtrl)) m |= Qt::ControlModifier;
    if (s.Contains(ssAlt)) m |= Qt::AltModifier;
    return m;
}

static Qt::MouseButton Btn(TMouseButton b)
{
    return b == mbLeft ? Qt::LeftButton : b == mbRight ? Qt::RightButton : Qt::MiddleButton;
}

// The window and the point in it for a client point of a control.
static QWidget* Target(TControl* c, TPoint p, QPoint& local)
{
    TWinControl* host = DynamicCast<TWinControl>(c);
    if (!host) host = c->Parent();
    if (!host) return nullptr;
    TPoint screen = c->ClientToScreen(p);
    QWidget* w = host->Widget();
    QWidget* top = w->window();
    local = top->mapFromGlobal(QP(screen));
    return top;
}

void MouseMove(TControl* c, TPoint p, TShiftState shift)
{
    QPoint local;
    QWidget* top = Target(c, p, local);
    if (!top) return;
    QTest::mouseMove(top->windowHandle(), local);
    ProcessEvents();
}

void MouseDown(TControl* c, TMouseButton b, TPoint p, TShiftState shift)
{
    QPoint local;
    QWidget* top = Target(c, p, local);
    if (!top) return;
    QTest::mousePress(top->windowHandle(), Btn(b), Mods(shift), local);
    ProcessEvents();
}

void MouseUp(TControl* c, TMouseButton b, TPoint p, TShiftState shift)
{
    QPoint local;
    QWidget* top = Target(c, p, local);
    if (!top) return;
    QTest::mouseRelease(top->windowHandle(), Btn(b), Mods(shift), local);
    ProcessEvents();
}

void Click(TControl* c, TPoint p, TMouseButton b, TShiftState shift)
{
    QPoint local;
    QWidget* top = Target(c, p, local);
    if (!top) return;
    QTest::mouseClick(top->windowHandle(), Btn(b), Mods(shift), local);
    ProcessEvents();
}

void DoubleClick(TControl* c, TPoint p, TShiftState shift)
{
    QPoint local;
    QWidget* top = Target(c, p, local);
    if (!top) return;
    QTest::mouseDClick(top->windowHandle(), Qt::LeftButton, Mods(shift), local);
    ProcessEvents();
}

void Wheel(TControl* c, TPoint p, int delta, TShiftState shift)
{
    QPoint local;
    QWidget* top = Target(c, p, local);
    if (!top) return;
    QWheelEvent e(QPointF(local), QPointF(top->mapToGlobal(local)), QPoint(), QPoint(0, delta), Qt::NoButton,
                  Mods(shift), Qt::NoScrollPhase, false);
    QWidget* under = top->childAt(local);
    QCoreApplication::sendEvent(under ? under : top, &e);
    ProcessEvents();
}

static int VkToQt(int vk)
{
    if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + (vk - 'A');
    if (vk >= '0' && vk <= '9') return Qt::Key_0 + (vk - '0');
    if (vk >= VK_F1 && vk <= VK_F12) return Qt::Key_F1 + (vk - VK_F1);
    switch (vk) {
    case VK_BACK: return Qt::Key_Backspace;
    case VK_TAB: return Qt::Key_Tab;
    case VK_RETURN: return Qt::Key_Return;
    case VK_ESCAPE: return Qt::Key_Escape;
    case VK_SPACE: return Qt::Key_Space;
    case VK_PRIOR: return Qt::Key_PageUp;
    case VK_NEXT: return Qt::Key_PageDown;
    case VK_END: return Qt::Key_End;
    case VK_HOME: return Qt::Key_Home;
    case VK_LEFT: return Qt::Key_Left;
    case VK_UP: return Qt::Key_Up;
    case VK_RIGHT: return Qt::Key_Right;
    case VK_DOWN: return Qt::Key_Down;
    case VK_INSERT: return Qt::Key_Insert;
    case VK_DELETE: return Qt::Key_Delete;
    case VK_APPS: return Qt::Key_Menu;
    case VK_SHIFT: return Qt::Key_Shift;
    case VK_CONTROL: return Qt::Key_Control;
    case VK_MENU: return Qt::Key_Alt;
    case VK_ADD: return Qt::Key_Plus;
    case VK_SUBTRACT: return Qt::Key_Minus;
    case VK_MULTIPLY: return Qt::Key_Asterisk;
    default: return 0;
    }
}

static QString KeyText(int vk, TShiftState shift)
{
    if (shift.Contains(ssCtrl) && vk >= 'A' && vk <= 'Z') return QString(QChar(vk - 'A' + 1));
    if (shift.Contains(ssAlt)) return {};
    if (vk >= 'A' && vk <= 'Z') return QString(QChar(shift.Contains(ssShift) ? vk : vk + 32));
    if (vk >= '0' && vk <= '9') return QString(QChar(vk));
    switch (vk) {
    case VK_BACK: return QStringLiteral("\b");
    case VK_TAB: return QStringLiteral("\t");
    case VK_RETURN: return QStringLiteral("\r");
    case VK_ESCAPE: return QString(QChar(27));
    case VK_SPACE: return QStringLiteral(" ");
    default: return {};
    }
}

static QWindow* FocusWindow()
{
    if (QWidget* f = QApplication::focusWidget()) return f->window()->windowHandle();
    if (QWidget* a = QApplication::activeWindow()) return a->windowHandle();
    return nullptr;
}

// Qt keeps the modifiers of the last key event as those held, and the
// release of Ctrl, Shift or Alt itself still carries them: after it, as a
// keyboard would, an event tells that none is held any more. It goes to a
// window of its own, never shown, so no control hears it.
static void ReleaseModifiers()
{
    static QWindow* quiet = new QWindow();
    qt_handleKeyEvent(quiet, QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier);
}

static void SendKey(QEvent::Type type, int vk, TShiftState shift, const QString& text)
{
    QWindow* w = FocusWindow();
    int key = VkToQt(vk);
    if (!w || !key) return;
    // The numeric pad's keys are told from the main keyboard's by the keypad flag.
    Qt::KeyboardModifiers mods = Mods(shift);
    if (vk >= VK_NUMPAD0 && vk <= VK_DIVIDE) mods |= Qt::KeypadModifier;
    if (type == QEvent::KeyPress) {
        QTest::sendKeyEvent(QTest::Press, w, Qt::Key(key), text, mods);
    } else {
        QTest::sendKeyEvent(QTest::Release, w, Qt::Key(key), text, mods);
        if (mods & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) ReleaseModifiers();
    }
    ProcessEvents();
}

void KeyDown(int vk, TShiftState shift, const std::string& text)
{
    SendKey(QEvent::KeyPress, vk, shift, text.empty() ? KeyText(vk, shift) : QS(text));
}
void KeyUp(int vk, TShiftState shift) { SendKey(QEvent::KeyRelease, vk, shift, KeyText(vk, shift)); }
void KeyPress(int vk, TShiftState shift)
{
    KeyDown(vk, shift);
    KeyUp(vk, shift);
}

void TypeText(const std::string& text, bool inputMethod)
{
    QWidget* f = QApplication::focusWidget();
    if (!f) return;
    if (inputMethod) {
        QInputMethodEvent e;
        e.setCommitString(QS(text));
        QCoreApplication::sendEvent(f, &e);
        ProcessEvents();
        return;
    }
    for (QChar ch : QS(text)) {
        QWindow* w = FocusWindow();
        if (!w) return;
        QTest::sendKeyEvent(QTest::Press, w, Qt::Key(0), QString(ch), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, w, Qt::Key(0), QString(ch), Qt::NoModifier);
        ProcessEvents();
    }
}

void ComposeText(const std::string& preedit)
{
    QWidget* f = QApplication::focusWidget();
    if (!f) return;
    QInputMethodEvent e(QS(preedit), {});
    QCoreApplication::sendEvent(f, &e);
    ProcessEvents();
}

TBitmap* Grab(TWinControl* c)
{
    auto* b = new TBitmap();
    QWidget* w = c->Widget();
    ProcessEvents();
    QImage img = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    b->SetSize(img.width(), img.height());
    b->Image()->Img = img;
    // The client area starts after the borders: Grab keeps the whole window.
    return b;
}

TColor PixelAt(TWinControl* c, TPoint p)
{
    std::unique_ptr<TBitmap> b(Grab(c));
    TRect in = c->NonClientInsets();
    QPoint q(p.X + in.Left, p.Y + in.Top);
    if (!b->Image()->Img.rect().contains(q)) return -1;
    return TColor(TC(b->Image()->Img.pixelColor(q)));
}

std::string KeepPicturesDir()
{
    const char* dir = std::getenv("QZ_KEEP_PICTURES");
    if (!dir || !*dir) return {};
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return std::string(dir) + "/";
}

bool SavePng(TBitmap* b, const std::string& fileName)
{
    if (!b || b->Empty()) return false;
    const std::string dir = KeepPicturesDir();
    if (dir.empty()) return true;
    b->FinishDrawing();
    return b->Image()->Img.save(QS(dir + std::filesystem::path(fileName).filename().string()), "PNG");
}

void KeepFile(const std::string& file)
{
    const std::string dir = KeepPicturesDir();
    if (dir.empty()) return;
    std::error_code ec;
    std::filesystem::copy_file(file, dir + std::filesystem::path(file).filename().string(),
                               std::filesystem::copy_options::overwrite_existing, ec);
}

bool SavePng(TWinControl* c, const std::string& fileName)
{
    std::unique_ptr<TBitmap> b(Grab(c));
    return SavePng(b.get(), fileName);
}

void Later(std::function<void()> fn)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), [fn = std::move(fn)] {
        try {
            fn();
        } catch (...) {
            if (Application) Application->HandleException(Application);
        }
    }, Qt::QueuedConnection);
}

static std::vector<QWidget*> DragImageWidgets()
{
    std::vector<QWidget*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == QLatin1String("qzDragImage")) out.push_back(w);
    return out;
}

std::vector<TDragImageWindowInfo> ShownDragImages()
{
    std::vector<TDragImageWindowInfo> out;
    for (QWidget* w : DragImageWidgets()) {
        TDragImageWindowInfo i;
        i.Bounds = TR(w->geometry());
        i.InputTransparent = (w->windowFlags() & Qt::WindowTransparentForInput) &&
                             w->testAttribute(Qt::WA_TransparentForMouseEvents);
        i.Activates = !(w->windowFlags() & Qt::WindowDoesNotAcceptFocus) ||
                      !w->testAttribute(Qt::WA_ShowWithoutActivating);
        out.push_back(i);
    }
    return out;
}

bool DragImagePixel(TPoint p, TColor& colour, int& alpha)
{
    auto ws = DragImageWidgets();
    if (ws.empty()) return false;
    QImage img = ws.front()->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    if (!img.rect().contains(QP(p))) return false;
    QRgb px = img.pixel(QP(p));
    colour = TColor(RGB(qRed(px), qGreen(px), qBlue(px)));
    alpha = qAlpha(px);
    return true;
}

} // namespace GuiTest

// ---- popup menus ----------------------------------------------------------------------------

#include <QMenu>

namespace GuiTest {

static QMenu* UpMenu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

// A caption without its accelerator marks.
static QString Plain(QString t)
{
    QString r;
    for (int i = 0; i < t.size(); ++i) {
        if (t[i] == QLatin1Char('&') && i + 1 < t.size()) ++i;
        r += t[i];
    }
    return r;
}

std::vector<TShownMenuItem> ShownPopupMenu()
{
    std::vector<TShownMenuItem> r;
    QMenu* m = UpMenu();
    if (!m) return r;
    for (QAction* a : m->actions()) {
        TShownMenuItem i;
        i.Caption = a->isSeparator() ? std::string("-") : US(a->text());
        i.Enabled = a->isEnabled();
        i.Checked = a->isChecked();
        i.HasIcon = !a->icon().isNull();
        i.HasSubMenu = a->menu() != nullptr;
        r.push_back(i);
    }
    return r;
}

bool ChoosePopupMenuItem(const std::string& path)
{
    QMenu* m = UpMenu();
    if (!m) return false;
    QString rest = QS(path);
    QStringList parts = rest.split(QLatin1Char('|'));
    for (int k = 0; k < parts.size(); ++k) {
        QAction* found = nullptr;
        for (QAction* a : m->actions()) {
            QString text = a->text().section(QLatin1Char('\t'), 0, 0);
            if (!a->isSeparator() && !found && (text == parts[k] || Plain(text) == Plain(parts[k]))) found = a;
        }
        if (!found || !found->isEnabled()) return false;
        if (k + 1 < parts.size()) {
            if (!found->menu()) return false;
            m = found->menu();
            continue;
        }
        if (found->menu()) return false;
        found->trigger();
    }
    ClosePopupMenu();
    return true;
}

void ClosePopupMenu()
{
    for (int guard = 0; guard < 16; ++guard) {
        QWidget* w = QApplication::activePopupWidget();
        if (!w) break;
        w->close();
    }
}

TBitmap* GrabPopupMenu()
{
    QMenu* m = UpMenu();
    if (!m) return nullptr;
    QImage img = m->grab().toImage().convertToFormat(QImage::Format_RGB32);
    auto* b = new TBitmap();
    b->SetSize(img.width(), img.height());
    b->Image()->Img = img;
    return b;
}

int RunUnderX(const std::string& filter, std::string& out)
{
    out.clear();
    if (getenv("QZ_GUI_UNDER_X")) return -1;
    if (system("command -v xvfb-run >/dev/null 2>&1") != 0) return -1;
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return 1;
    exe[n] = 0;
    std::string cmd = std::string("env QZ_GUI_UNDER_X=1 QT_QPA_PLATFORM=xcb xvfb-run -a -s '-screen 0 1024x768x24' '") +
                      exe + "' --gtest_brief=1 '--gtest_filter=" + filter + "' 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return 1;
    char buf[512];
    while (fgets(buf, sizeof buf, p)) out += buf;
    int rc = pclose(p);
    if (rc == 0 && out.find("PASSED") == std::string::npos) rc = 1;
    return rc;
}

} // namespace GuiTest
