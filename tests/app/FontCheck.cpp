// Runs before the window tests: every window is laid out in the metrics of Arial and Times New
// Roman, so without their metric-compatible faces the window tests would fail for no fault of
// the windows.
#include "AppTestSupport.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString problem = AppTestSupport::metricFontProblem();
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        return 1;
    }
    std::printf("Arial and Times New Roman resolve to Liberation Sans and Serif\n");
    return 0;
}
