// Renders the main window with a firmware source loaded, as a PNG:
//   window_screenshot SOURCE OUT.png [english]
// With "question" last, it changes an angle and closes the window instead, and
// the question about the unsaved change stays open for a screen grab.
#include <QApplication>
#include <QTest>
#include <cstdio>

#include "gui_support.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SOURCE OUT.png [english]\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    tc::test::WindowRecorders recorders;
    TForm1 window(recorders.Services());
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    recorders.chooser.answers.push_back(std::string(argv[1]));
    QTest::mouseClick(window.Button1, Qt::LeftButton);
    if (argc > 3 && QString(argv[3]) == "english") QTest::mouseClick(window.Button7, Qt::LeftButton);
    // Show the editor on an angle cell, as while editing.
    auto* grid = window.StringGrid1;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(10, 4)).center());
    QTest::qWait(200);
    if (QString(argv[argc - 1]) == "question") {
        // Typed into the cell's editor: without a window manager the window has no focus to type into.
        auto* editor = grid->findChild<QLineEdit*>();
        if (!editor) return 1;
        QTest::keyClicks(editor, "12");
        window.close();
        return 0;
    }
    for (const auto& m : recorders.messages.all) std::fprintf(stderr, "%s: %s\n", m.kind.c_str(), m.text.c_str());
    return window.grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
