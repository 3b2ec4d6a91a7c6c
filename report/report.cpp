#include "report/report.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <memory>

namespace report {
namespace {

namespace cfg = ops::config;

std::string escaped(std::string_view s) {
    std::string out;
    for (const char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

void table(std::string& out, const char* title, const cfg::Values& values, cfg::Part part,
           const Caption& caption) {
    out += "<h2>" + std::string(title) +
           "</h2><table border='1' cellspacing='0' cellpadding='4' "
           "width='100%'>";
    bool any = false;
    for (const cfg::FieldRow& f : cfg::fieldRows()) {
        if (f.part != part) continue;
        const auto it = values.find(f.name);
        if (it == values.end()) continue;
        std::string label = caption ? caption(f.name) : std::string();
        if (label.empty()) label = f.name;
        out += "<tr><td width='40%'>" + escaped(label) + " <small>(" + std::string(f.name) +
               ")</small></td><td>" + escaped(it->second) + "</td></tr>";
        any = true;
    }
    if (!any) out += "<tr><td>无</td></tr>";
    out += "</table>";
}

// QPdfWriter and the fonts need a Gui application; hart-cli has none of its own.
void ensureApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "hart-report";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

std::string html(const cfg::Record& r, const Caption& caption) {
    std::string out = "<html><body><h1 align='center'>HART 仪表调试报告</h1>";
    out += "<p>日期: " + escaped(r.saved) + "<br>工具版本: " + escaped(r.tool) + "</p>";
    table(out, "仪表标识", r.identity, cfg::Part::Identity, caption);
    table(out, "组态参数", r.fields, cfg::Part::Setting, caption);
    table(out, "实时值", r.live, cfg::Part::Live, caption);
    out += "<p><br>调试人员: ____________ &nbsp;&nbsp; 验收人员: ____________</p></body></html>";
    return out;
}

std::string writePdf(const std::string& path, const cfg::Record& record, const Caption& caption) {
    ensureApplication();
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        pdf.setResolution(300);
        pdf.setTitle(QStringLiteral("HART 仪表调试报告"));
        pdf.setCreator(QString::fromStdString(record.tool));
        QTextDocument doc;
        QFont font(QStringLiteral("WenQuanYi Micro Hei"));
        font.setPointSize(10);
        doc.setDefaultFont(font);
        doc.setHtml(QString::fromStdString(html(record, caption)));
        doc.setPageSize(pdf.pageLayout().paintRectPixels(pdf.resolution()).size());
        doc.print(&pdf);
    }
    if (bytes.isEmpty()) return "the report could not be laid out";
    return cfg::saveAtomically(path, std::string_view(bytes.constData(), bytes.size()));
}

}  // namespace report
