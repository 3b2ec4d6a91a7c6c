// HART field instrument configuration tool.
#include <QApplication>
#include <QComboBox>
#include <QStringList>
#include <cstdio>

#include "ui/main_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QString port;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--port") && i + 1 < args.size()) {
            port = args[++i];
        } else if (args[i].startsWith(QLatin1String("--port="))) {
            port = args[i].mid(7);
        } else {
            std::fprintf(stderr, "usage: %s [--port NAME]\n", argv[0]);
            return 2;
        }
    }
    ui::TForm1 window;
    if (!port.isEmpty()) window.control<QComboBox>("SPREALCOM")->setEditText(port);
    window.show();
    return app.exec();
}
