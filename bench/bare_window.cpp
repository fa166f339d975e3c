// The reference for start-up figures: a bare Qt Widgets window, shown and closed
// at once as the program's smoke mode does.
#include <QApplication>
#include <QMainWindow>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(800, 600);
    window.show();
    QTimer::singleShot(0, &window, &QWidget::close);
    return QApplication::exec();
}
