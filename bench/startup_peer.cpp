// The start-up benchmark's peer: a minimal Qt program that shows one window
// and ends once the window is up the way the program's probe ends at its
// login dialog (at once, without tearing down), so both stop the clock alike.
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget w;
    w.resize(351, 226);
    w.setWindowTitle(QStringLiteral("peer"));
    w.show();
    QTimer::singleShot(0, [] {
        std::fputs("window shown\n", stdout);
        std::fflush(stdout);
        _exit(0);
    });
    return app.exec();
}
