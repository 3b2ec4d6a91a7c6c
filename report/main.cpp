// hart-report IN.json OUT.pdf [--loop-check CHECK.json]: the commissioning report of a read
// configuration, with a loop check's record when one is given. hart-cli runs it for `report`,
// so that hart-cli itself starts without loading Qt.
#include <QGuiApplication>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>

#include "ops/config_file.h"
#include "ops/loop_check.h"
#include "report/labels.h"
#include "report/report.h"

int main(int argc, char** argv) {
    const bool check = argc == 5 && std::string_view(argv[3]) == "--loop-check";
    if (argc != 3 && !check) {
        std::fprintf(stderr, "usage: hart-report IN.json OUT.pdf [--loop-check CHECK.json]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const ops::config::Parsed p = ops::config::load(argv[1]);
    if (!p.record) {
        std::fprintf(stderr, "hart-report: %s\n", p.error.c_str());
        return 1;
    }
    std::optional<ops::loopcheck::Record> loop;
    if (check) {
        std::ifstream in(argv[4], std::ios::binary);
        std::ostringstream text;
        if (in) text << in.rdbuf();
        ops::loopcheck::Parsed l = ops::loopcheck::fromJson(text.str());
        if (!in || !l.record) {
            std::fprintf(stderr, "hart-report: %s: %s\n", argv[4],
                         in ? l.error.c_str() : "cannot be read");
            return 1;
        }
        loop = std::move(l.record);
    }
    const std::string why =
        report::writePdf(argv[2], *p.record, report::windowLabel, loop ? &*loop : nullptr);
    if (!why.empty()) {
        std::fprintf(stderr, "hart-report: %s\n", why.c_str());
        return 1;
    }
    return 0;
}
