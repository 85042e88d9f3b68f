// Whether the desktop's own font, which the menus and the status bar use, resolves to a
// proportional sans face on this system, whether the window fonts find their metric-compatible
// faces, and whether the absent display fits its panel. It is built from the program's own
// libraries and needs no library beyond the package's, so that scripts/check-clean-install can
// run it on a system that holds nothing but the package and what it depends on.
#include "DeviceLinkState.h"
#include "PanelStatusBar.h"
#include "SgxProgram.h"
#include "SharedValues.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QMenuBar>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList problems;

    const QFontInfo desktop(QApplication::font());
    std::printf("desktop font: %s, %d pt\n", qPrintable(desktop.family()), desktop.pointSize());
    if (desktop.fixedPitch() || desktop.family().contains(QLatin1String("Mono")) ||
        desktop.family().contains(QLatin1String("Serif")))
        problems << QStringLiteral("the desktop font resolves to %1, no proportional sans face")
                        .arg(desktop.family());

    for (const auto &[family, face] :
         {std::pair{"Arial", "Liberation Sans"}, std::pair{"Times New Roman", "Liberation Serif"}}) {
        const QString resolved = QFontInfo(QFont(QString::fromLatin1(family))).family();
        std::printf("%s: %s\n", family, qPrintable(resolved));
        if (resolved != QLatin1String(face))
            problems << QStringLiteral("%1 resolves to %2, not %3")
                            .arg(QLatin1String(family), resolved, QLatin1String(face));
    }

    DeviceLinkState state;
    SharedValues values;
    SgxProgram program(state, values);
    program.show();
    QElapsedTimer shown;
    shown.start();
    while (!program.mainForm().isVisible() && shown.elapsed() < 5000)
        QApplication::processEvents();
    QApplication::processEvents();

    const QFontInfo menus(program.mainForm().menuBar()->font());
    if (menus.family() != desktop.family())
        problems << QStringLiteral("the menus are in %1, not the desktop font").arg(menus.family());
    const auto *bar = program.mainForm().findChild<PanelStatusBar *>(QStringLiteral("StatusBar1"));
    const QString absent = QStringLiteral(" SGX-100 Status : Not Exist");
    const int needed = bar->fontMetrics().horizontalAdvance(absent);
    const int room = bar->panelContentsRect(2).width();
    std::printf("status panel: %d px of text in %d px\n", needed, room);
    if (needed > room)
        problems << QStringLiteral("\"%1\" is cut: %2 px of text in %3 px").arg(absent).arg(needed).arg(room);

    for (const QString &problem : problems)
        std::fprintf(stderr, "%s\n", qPrintable(problem));
    return problems.isEmpty() ? 0 : 1;
}
