#include "ui/Tool.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    Tool::prepareApplication();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvelino"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quorvelino.QuorvelinoTool"));

    Tool tool;
    QApplication::setWindowIcon(tool.window().windowIcon());
    tool.start();
    return app.exec();
}
