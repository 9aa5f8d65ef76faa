// screen_grab: saves one window of the X display as a PNG file, for the
// README's screenshot of casepad.
//
//   screen_grab WINDOW-ID FILE.png

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: screen_grab WINDOW-ID FILE.png\n");
        return 2;
    }
    QGuiApplication application(argc, argv);
    WId window = static_cast<WId>(std::strtoull(argv[1], nullptr, 0));
    QPixmap picture = application.primaryScreen()->grabWindow(window);
    if (picture.isNull() || !picture.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "screen_grab: cannot grab window %s into %s\n", argv[1], argv[2]);
        return 1;
    }
    return 0;
}
