// The start-up benchmark's peer: a plain Qt program showing a dialog like
// the program's login window (the same Chinese texts and the same controls
// at the same places: a white band with two pictures and a bold prompt, a
// line, the user name box with its names and the password edit, a line and
// the three buttons), so that it loads the fonts and draws the texts the
// program does. It ends once the dialog is up the way the program's probe
// ends at its login dialog (at once, without tearing down), so both stop
// the clock alike.
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {

template <class W> W* Place(W* w, int x, int y, int width, int height)
{
    w->setGeometry(x, y, width, height);
    return w;
}

QPixmap Badge(QColor colour)
{
    QPixmap p(32, 32);
    p.fill(Qt::white);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setBrush(colour);
    g.setPen(Qt::NoPen);
    g.drawEllipse(2, 2, 28, 28);
    return p;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QDialog d;
    d.setWindowTitle(QStringLiteral("登陆"));
    d.setFixedSize(351, 226);
    auto* band = Place(new QLabel(&d), 0, 0, 351, 56);
    band->setAutoFillBackground(true);
    band->setStyleSheet(QStringLiteral("background: white"));
    Place(new QLabel(&d), 14, 12, 32, 32)->setPixmap(Badge(QColor(0xE0, 0xA0, 0x00)));
    Place(new QLabel(&d), 305, 12, 32, 32)->setPixmap(Badge(QColor(0x40, 0x80, 0xC0)));
    auto* prompt = Place(new QLabel(QStringLiteral("请输入您的用户名和密码:"), &d), 60, 22, 240, 16);
    QFont bold = prompt->font();
    bold.setBold(true);
    prompt->setFont(bold);
    auto* line = Place(new QFrame(&d), 0, 56, 351, 2);
    line->setFrameShape(QFrame::HLine);
    auto* user = Place(new QComboBox(&d), 140, 80, 160, 21);
    user->setEditable(true);
    user->addItems({QStringLiteral("sa"), QStringLiteral("管理员")});
    Place(new QLabel(QStringLiteral("用户名(&U)"), &d), 60, 84, 70, 16)->setBuddy(user);
    auto* password = Place(new QLineEdit(&d), 140, 116, 160, 21);
    password->setEchoMode(QLineEdit::Password);
    Place(new QLabel(QStringLiteral("密码(&P)"), &d), 60, 120, 70, 16)->setBuddy(password);
    auto* bottom = Place(new QFrame(&d), 8, 226 - 41, 351 - 16, 2);
    bottom->setFrameShape(QFrame::HLine);
    Place(new QPushButton(QStringLiteral("确定(&O)"), &d), 351 - 243, 226 - 33, 75, 25)->setDefault(true);
    Place(new QPushButton(QStringLiteral("取消"), &d), 351 - 163, 226 - 33, 75, 25);
    Place(new QPushButton(QStringLiteral("帮助"), &d), 351 - 83, 226 - 33, 75, 25);
    password->setFocus();
    d.show();
    QTimer::singleShot(0, [] {
        std::fputs("dialog shown\n", stdout);
        std::fflush(stdout);
        _exit(0);
    });
    return app.exec();
}
