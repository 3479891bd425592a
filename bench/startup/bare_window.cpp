// The baseline of the start-up bench: the least a Qt program does to map a borderless
// window of the launcher's size.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setFixedSize(845, 628);
    window.show();
    return application.exec();
}
