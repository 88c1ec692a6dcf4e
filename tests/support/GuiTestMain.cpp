// Entry point of the window tests: one QApplication on the offscreen platform.

#include <gtest/gtest.h>
#include <QApplication>
#include <cstdio>

#include "ui/Style.h"

namespace {

// The offscreen platform warns about every fixed-size window; nothing to see.
QtMessageHandler standardHandler = nullptr;

void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("propagateSizeHints"))) return;
    if (standardHandler) return standardHandler(type, context, message);
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    standardHandler = qInstallMessageHandler(quietMessages);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Firmware Tessaro"));
    ui::applyLooks(application);
    return RUN_ALL_TESTS();
}
