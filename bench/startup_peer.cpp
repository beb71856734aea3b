// The start-up benchmark's peer: a minimal Qt program that shows one window
// and ends once the window is up, as the program ends at its login dialog.
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>

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
        QCoreApplication::exit(0);
    });
    return app.exec();
}
