// hart-report IN.json OUT.pdf: the commissioning report of a read configuration. hart-cli runs
// it for `report`, so that hart-cli itself starts without loading Qt.
#include <QGuiApplication>
#include <cstdio>

#include "cli/names.h"
#include "ops/config_file.h"
#include "report/report.h"

namespace {

std::string captionOf(std::string_view field) {
    const ops::config::FieldRow* f = ops::config::findField(field);
    const cli::FieldName* n = f ? cli::fieldName(f->control) : nullptr;
    return n ? std::string(n->caption) : std::string();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: hart-report IN.json OUT.pdf\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const ops::config::Parsed p = ops::config::load(argv[1]);
    if (!p.record) {
        std::fprintf(stderr, "hart-report: %s\n", p.error.c_str());
        return 1;
    }
    const std::string why = report::writePdf(argv[2], *p.record, captionOf);
    if (!why.empty()) {
        std::fprintf(stderr, "hart-report: %s\n", why.c_str());
        return 1;
    }
    return 0;
}
