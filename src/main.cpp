#include <QApplication>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>

#include "Unit1.h"
#include "platform/qt_ports.h"

int main(int argc, char* argv[]) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Without a display Qt would abort with a plugin message that tells a user nothing.
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        std::fprintf(stderr,
                     "timingcalc: no display found (DISPLAY is not set); on a machine without a screen run it "
                     "as: xvfb-run -s \"-screen 0 1280x800x24\" %s\n",
                     argv[0]);
        return 1;
    }
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName("timingcalc");
    QTranslator toolkitTexts;
    if (tc::qt::LoadToolkitTexts(toolkitTexts, QLocale::system())) QApplication::installTranslator(&toolkitTexts);
    TForm1 window;
    window.show();
    return app.exec();
}
