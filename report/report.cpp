#include "report/report.h"

#include <QBuffer>
#include <QDateTime>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "hart/device_status.h"
#include "hart/units.h"
#include "ops/process.h"

namespace report {
namespace {

namespace cfg = ops::config;
namespace lc = ops::loopcheck;
using Kind = Block::Kind;

constexpr const char* kTitle = "HART 仪表调试报告";
constexpr const char* kNone = "—";

std::string valueOf(const cfg::Values& v, std::string_view name) {
    const auto it = v.find(name);
    return it == v.end() ? std::string() : it->second;
}

std::string orNone(std::string s) {
    return s.empty() ? kNone : s;
}

// "2026-12-09 16:41 (UTC+01:00)": the local time of an ISO time, which may be UTC or carry
// its offset.
std::string when(const std::string& iso) {
    const QDateTime t = QDateTime::fromString(QString::fromStdString(iso), Qt::ISODate);
    if (!t.isValid()) return orNone(iso);
    const QDateTime local = t.toLocalTime();
    const int offset = local.offsetFromUtc();
    QString zone = QStringLiteral("UTC");
    if (offset != 0) {
        zone += offset < 0 ? '-' : '+';
        zone += QTime(0, 0).addSecs(std::abs(offset)).toString(QStringLiteral("hh:mm"));
    }
    return (local.toString(QStringLiteral("yyyy-MM-dd HH:mm")) + " (" + zone + ")").toStdString();
}

std::string fixed(double v, int decimals, bool sign = false) {
    char buf[48];
    std::snprintf(buf, sizeof buf, sign ? "%+.*f" : "%.*f", decimals, v);
    return buf;
}

// A field's value in full, with its unit by its printed symbol.
std::string shown(const cfg::Record& r, const cfg::Values& values, const Label& label,
                  std::string_view field) {
    const auto n = r.numbers.find(field);
    std::string v = n != r.numbers.end() ? cfg::exactText(n->second) : valueOf(values, field);
    if (v.empty()) return kNone;
    std::string unit = label.unit;
    if (unit.empty() && !label.unitField.empty())
        unit = std::string(hart::unitSymbol(valueOf(values, label.unitField)));
    return unit.empty() ? v : v + " " + unit;
}

Label labelOf(const Labels& labels, std::string_view field) {
    Label l = labels ? labels(field) : Label{};
    if (l.caption.empty()) l.caption = field;
    return l;
}

// The fields of one part as caption and value: units beside their values, the date as one.
Table fieldTable(const cfg::Record& r, const cfg::Values& values, cfg::Part part,
                 const Labels& labels) {
    Table t{{0.4, 0.6}, false, {}, {}};
    std::vector<std::string> units;
    for (const cfg::FieldRow& f : cfg::fieldRows()) {
        if (f.part == part && values.contains(f.name))
            units.push_back(labelOf(labels, f.name).unitField);
    }
    for (const cfg::FieldRow& f : cfg::fieldRows()) {
        if (f.part != part || !values.contains(f.name)) continue;
        if (std::ranges::find(units, f.name) != units.end()) continue;
        if (f.name == "month" || f.name == "day") continue;
        if (f.name == "year") {
            const auto two = [&](std::string_view f) {
                const std::string v = valueOf(values, f);
                return v.size() == 1 ? "0" + v : v;
            };
            t.rows.push_back(
                {"出厂日期", valueOf(values, "year") + "-" + two("month") + "-" + two("day")});
            continue;
        }
        const Label l = labelOf(labels, f.name);
        t.rows.push_back({l.caption, shown(r, values, l, f.name)});
    }
    if (t.rows.empty()) t.rows.push_back({"无", ""});
    return t;
}

Table identityTable(const cfg::Record& r, const Labels& labels) {
    const std::string mfr = valueOf(r.identity, "manufacturer-id");
    std::string maker = mfr;
    if (!mfr.empty()) {
        const std::string_view name = ops::manufacturerName(
            static_cast<std::uint8_t>(std::strtoul(mfr.c_str(), nullptr, 10)));
        if (name != "unknown") maker = std::string(name) + " (" + mfr + ")";
    }
    const std::string id = valueOf(r.identity, "device-id");
    char hex[16] = "";
    if (!id.empty())
        std::snprintf(hex, sizeof hex, " (0x%06lX)", std::strtoul(id.c_str(), nullptr, 10));
    std::string status = kNone;
    if (const auto s = r.about.find("device-status"); s != r.about.end()) {
        status = hart::describeStatus({0, static_cast<std::uint8_t>(std::stoi(s->second))}).text;
    }
    std::string longTag = valueOf(r.fields, "long-tag");
    if (longTag.empty()) longTag = valueOf(r.about, "long-tag");
    const auto caption = [&](std::string_view f) { return labelOf(labels, f).caption; };
    return {{0.17, 0.33, 0.17, 0.33},
            false,
            {{"制造商", orNone(maker), caption("device-type"),
              orNone(valueOf(r.identity, "device-type"))},
             {caption("device-id"), orNone(id + hex), "HART协议版本",
              orNone(valueOf(r.about, "hart-revision"))},
             {caption("tag"), orNone(valueOf(r.fields, "tag")), "长标记", orNone(longTag)},
             {"设备状态", status, "报告日期", when(r.saved)},
             {"工具及版本", orNone(r.tool), "", ""}},
            {}};
}

std::string verdict(bool pass) {
    return pass ? "合格" : "不合格";
}

Table pointTable(const std::vector<lc::Point>& points) {
    Table t{{0.2, 0.2, 0.2, 0.22, 0.18},
            true,
            {{"设定值 (mA)", "实测值 (mA)", "误差 (mA)", "误差 (% 量程)", "结果"}},
            {}};
    for (const lc::Point& p : points) {
        if (!p.pass) t.failed.push_back(t.rows.size());
        t.rows.push_back({cfg::exactText(p.setMa), cfg::exactText(p.readMa),
                          fixed(p.errorMa, 4, true), fixed(p.errorPercentOfSpan, 3, true),
                          verdict(p.pass)});
    }
    return t;
}

void loopCheckBlocks(Document& d, const lc::Record& c) {
    static constexpr const char* kOutcomes[] = {"合格", "不合格", "已取消", "通信中断"};
    d.blocks.push_back({Kind::Heading, "四、回路测试", {}});
    std::string range = kNone;
    if (c.range) {
        range = cfg::exactText(c.range->lower) + " ~ " + cfg::exactText(c.range->upper) + " " +
                std::string(hart::unitSymbol(c.range->unit));
    }
    std::string trim = "未微调";
    if (c.trim) {
        trim = "4 mA 实测 " + cfg::exactText(c.trim->zeroMeteredMa) + " mA; 20 mA 实测 " +
               cfg::exactText(c.trim->gainMeteredMa) + " mA";
    }
    const double tolMa = c.tolerancePercentOfSpan * lc::kLoopSpanMa / 100.0;
    Table about{
        {0.17, 0.33, 0.17, 0.33},
        false,
        {{"开始时间", when(c.started), "结束时间", c.finished.empty() ? kNone : when(c.finished)},
         {"量程", range, "允差",
          "±" + cfg::exactText(c.tolerancePercentOfSpan) + " % 量程 (±" + cfg::exactText(tolMa) +
              " mA)"},
         {"结论", kOutcomes[static_cast<int>(c.outcome)], "备注", orNone(c.note)},
         {"电流微调", trim, "", ""}},
        {}};
    if (c.outcome != lc::Outcome::Passed) about.failed.push_back(2);
    d.blocks.push_back({Kind::Table, {}, std::move(about)});
    d.blocks.push_back({Kind::Text, "校前 (as found)", {}});
    d.blocks.push_back({Kind::Table, {}, pointTable(c.asFound)});
    d.blocks.push_back({Kind::Text, "校后 (as left)", {}});
    if (c.asLeft.empty()) {
        d.blocks.push_back({Kind::Text, "未微调,校前数据即校后数据。", {}});
    } else {
        d.blocks.push_back({Kind::Table, {}, pointTable(c.asLeft)});
    }
    Block plot{Kind::Plot, {}, {}};
    plot.loopCheck = &c;
    d.blocks.push_back(std::move(plot));
    if (c.sensor.empty()) return;
    d.blocks.push_back({Kind::Text, "传感器检查", {}});
    Table t{{0.22, 0.22, 0.16, 0.22, 0.18},
            true,
            {{"输入值", "主变量", "单位", "误差 (% 量程)", "结果"}},
            {}};
    for (const lc::SensorPoint& p : c.sensor) {
        if (!p.pass) t.failed.push_back(t.rows.size());
        t.rows.push_back({cfg::exactText(p.applied), cfg::exactText(p.pv),
                          std::string(hart::unitSymbol(p.unit)),
                          fixed(p.errorPercentOfSpan, 3, true), verdict(p.pass)});
    }
    d.blocks.push_back({Kind::Table, {}, std::move(t)});
}

// --- laying out and painting

constexpr double kPt = 10;  // device units per point: the writer runs at 720 dpi
constexpr double kMm = 72 / 25.4 * kPt;
constexpr double kPad = 3 * kPt;
constexpr double kBodyPt = 10.5;

QFont font(double points, bool bold = false) {
    // WenQuanYi draws no "℃": the Latin face comes first, the Chinese one for the rest.
    QFont f;
    f.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("WenQuanYi Micro Hei")});
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// Runs the blocks down the pages twice: once to count them, once to paint with the count.
class Pages {
  public:
    Pages(QPdfWriter& pdf, QPainter* painter, const Document& d, int total)
        : pdf_(pdf), p_(painter), doc_(d), total_(total) {
        const QRectF page = pdf.pageLayout().paintRectPixels(pdf.resolution());
        width_ = page.width();
        bottom_ = page.height() - 12 * kMm;  // the footer's room
        footerY_ = page.height() - 8 * kMm;
    }

    int run() {
        for (std::size_t i = 0; i < doc_.blocks.size(); ++i) block(doc_.blocks[i], i);
        footer();
        return page_;
    }

  private:
    double textHeight(const QFont& f, double width, const std::string& text) const {
        const QFontMetricsF m(f, &pdf_);
        return m.boundingRect(QRectF(0, 0, width, 1e7), Qt::TextWordWrap, qs(text)).height();
    }

    void need(double h) {
        if (y_ + h <= bottom_ || y_ == 0) return;
        footer();
        if (p_) pdf_.newPage();
        ++page_;
        y_ = 0;
    }

    void footer() {
        if (!p_) return;
        p_->setPen(QPen(Qt::darkGray, 0.5 * kPt));
        p_->drawLine(QPointF(0, footerY_ - 2 * kMm), QPointF(width_, footerY_ - 2 * kMm));
        p_->setFont(font(9));
        p_->setPen(Qt::black);
        const QRectF r(0, footerY_, width_, 6 * kMm);
        p_->drawText(r, Qt::AlignLeft | Qt::AlignTop, qs("标记: " + orNone(doc_.tag)));
        p_->drawText(r, Qt::AlignHCenter | Qt::AlignTop, qs(doc_.title));
        p_->drawText(
            r, Qt::AlignRight | Qt::AlignTop,
            qs("第 " + std::to_string(page_) + " 页 / 共 " + std::to_string(total_) + " 页"));
    }

    void line(const QFont& f, const std::string& text, Qt::Alignment align, double before,
              double keep = 0) {
        const double h = textHeight(f, width_, text);
        need(before + h + keep);
        if (y_ > 0) y_ += before;
        if (p_) {
            p_->setFont(f);
            p_->setPen(Qt::black);
            p_->drawText(QRectF(0, y_, width_, h), align | Qt::TextWordWrap, qs(text));
        }
        y_ += h;
    }

    double rowHeight(const Table& t, std::size_t row, const QFont& f) const {
        double h = 0;
        for (std::size_t c = 0; c < t.rows[row].size(); ++c) {
            h = std::max(h, textHeight(f, t.widths[c] * width_ - 2 * kPad, t.rows[row][c]));
        }
        return h + 2 * kPad;
    }

    void row(const Table& t, std::size_t r, double h, bool head, bool labels) {
        if (p_) {
            double x = 0;
            for (std::size_t c = 0; c < t.rows[r].size(); ++c) {
                const QRectF cell(x, y_, t.widths[c] * width_, h);
                const bool label = labels && c % 2 == 0;
                p_->setPen(QPen(Qt::darkGray, 0.5 * kPt));
                p_->setBrush(head || label ? QColor(235, 235, 235) : QColor(Qt::white));
                p_->drawRect(cell);
                const bool failed = std::ranges::find(t.failed, r) != t.failed.end();
                p_->setPen(failed && !label ? QColor(190, 0, 0) : QColor(Qt::black));
                p_->setFont(font(kBodyPt, head));
                p_->drawText(cell.adjusted(kPad, kPad, -kPad, -kPad),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, qs(t.rows[r][c]));
                x += cell.width();
            }
        }
        y_ += h;
    }

    void table(const Table& t, bool labels) {
        const QFont f = font(kBodyPt);
        const QFont bold = font(kBodyPt, true);
        const double headH = t.header ? rowHeight(t, 0, bold) : 0;
        for (std::size_t r = 0; r < t.rows.size(); ++r) {
            const bool head = t.header && r == 0;
            const double h = rowHeight(t, r, head ? bold : f);
            const int page = page_;
            need(h + (head ? rowHeight(t, std::min<std::size_t>(1, t.rows.size() - 1), f) : 0));
            // A table cut by the page heads its rest again.
            if (page != page_ && t.header && !head) row(t, 0, headH, true, false);
            row(t, r, h, head, labels && !t.header);
        }
    }

    void plot(const lc::Record& c) {
        const double h = 62 * kMm;
        need(h + 4 * kMm);
        y_ += 4 * kMm;
        if (p_) drawPlot(QRectF(0, y_, width_ * 0.75, h), c);
        y_ += h;
    }

    void drawPlot(const QRectF& box, const lc::Record& c) {
        const QRectF area = box.adjusted(16 * kMm, 4 * kMm, -4 * kMm, -11 * kMm);
        double top = c.tolerancePercentOfSpan * 1.5;
        for (const auto* set : {&c.asFound, &c.asLeft}) {
            for (const lc::Point& p : *set) top = std::max(top, std::fabs(p.errorPercentOfSpan));
        }
        // A round step that gives four to eight divisions each way.
        double step = std::pow(10, std::floor(std::log10(top)));
        while (top / step > 4) step *= 2;
        while (top / step < 2) step /= 2;
        top = std::ceil(top / step) * step;
        const auto at = [&](double ma, double err) {
            return QPointF(area.left() + (ma - 4) / 16 * area.width(),
                           area.center().y() - err / top * area.height() / 2);
        };
        p_->setFont(font(8));
        p_->setBrush(Qt::NoBrush);
        const int divisions = static_cast<int>(std::lround(top / step));
        for (int k = -divisions; k <= divisions; ++k) {
            const double e = k * step;
            p_->setPen(QPen(QColor(220, 220, 220), 0.4 * kPt));
            p_->drawLine(at(4, e), at(20, e));
            p_->setPen(Qt::black);
            p_->drawText(QRectF(box.left() + 5 * kMm, at(4, e).y() - 3 * kMm, 10 * kMm, 6 * kMm),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(e, 'g', 3));
        }
        for (int ma = 4; ma <= 20; ma += 4) {
            p_->setPen(QPen(QColor(220, 220, 220), 0.4 * kPt));
            p_->drawLine(at(ma, -top), at(ma, top));
            p_->setPen(Qt::black);
            p_->drawText(QRectF(at(ma, -top).x() - 5 * kMm, area.bottom() + kMm, 10 * kMm, 4 * kMm),
                         Qt::AlignHCenter | Qt::AlignTop, QString::number(ma));
        }
        p_->drawText(QRectF(area.left(), area.bottom() + 5 * kMm, area.width(), 5 * kMm),
                     Qt::AlignHCenter, QStringLiteral("设定值 (mA)"));
        p_->save();
        p_->translate(box.left() + kMm, area.center().y());
        p_->rotate(-90);
        p_->drawText(QRectF(-area.height() / 2, -2 * kMm, area.height(), 5 * kMm), Qt::AlignHCenter,
                     QStringLiteral("误差 (% 量程)"));
        p_->restore();
        p_->setPen(QPen(QColor(200, 120, 0), 0.6 * kPt, Qt::DashLine));
        for (const double tol : {c.tolerancePercentOfSpan, -c.tolerancePercentOfSpan})
            p_->drawLine(at(4, tol), at(20, tol));
        p_->setPen(QPen(Qt::black, 0.6 * kPt));
        p_->drawRect(area);
        struct Series {
            const std::vector<lc::Point>* points;
            QColor color;
            const char* name;
        };
        const Series series[] = {{&c.asFound, QColor(200, 30, 30), "校前"},
                                 {&c.asLeft, QColor(30, 70, 200), "校后"}};
        double legendY = area.top() + 2 * kMm;
        for (const Series& s : series) {
            if (s.points->empty()) continue;
            p_->setPen(QPen(s.color, 0.8 * kPt));
            QPolygonF line;
            for (const lc::Point& p : *s.points) {
                line << at(std::clamp(p.setMa, 4.0, 20.0), p.errorPercentOfSpan);
                p_->drawEllipse(line.back(), 1.2 * kMm, 1.2 * kMm);
            }
            p_->drawPolyline(line);
            const QPointF l(area.right() - 22 * kMm, legendY);
            p_->drawLine(l, l + QPointF(6 * kMm, 0));
            p_->drawEllipse(l + QPointF(3 * kMm, 0), 1.2 * kMm, 1.2 * kMm);
            p_->setPen(Qt::black);
            p_->drawText(QRectF(l.x() + 8 * kMm, legendY - 2.5 * kMm, 14 * kMm, 5 * kMm),
                         Qt::AlignLeft | Qt::AlignVCenter, qs(s.name));
            legendY += 5 * kMm;
        }
        p_->setPen(QColor(200, 120, 0));
        p_->drawText(QRectF(area.left() + 2 * kMm, area.top() + kMm, 40 * kMm, 5 * kMm),
                     Qt::AlignLeft, QStringLiteral("-- 允差"));
    }

    void block(const Block& b, std::size_t i) {
        switch (b.kind) {
            case Kind::Title:
                return line(font(16, true), b.text, Qt::AlignHCenter, 0);
            case Kind::Heading: {
                // A heading stays with the start of what it heads.
                const Block* next = i + 1 < doc_.blocks.size() ? &doc_.blocks[i + 1] : nullptr;
                const double keep = next && next->kind == Kind::Table && !next->table.rows.empty()
                                        ? rowHeight(next->table, 0, font(kBodyPt)) * 2
                                        : 20 * kMm;
                return line(font(12, true), b.text, Qt::AlignLeft, 8 * kPt, keep);
            }
            case Kind::Text:
                return line(font(kBodyPt, true), b.text, Qt::AlignLeft, 5 * kPt, 12 * kMm);
            case Kind::Table:
                y_ += y_ > 0 ? 3 * kPt : 0;
                return table(b.table, b.table.widths.size() == 4);
            case Kind::Plot:
                return plot(*b.loopCheck);
            case Kind::Signatures: {
                double h = 0;
                for (std::size_t r = 0; r < b.table.rows.size(); ++r) h += 14 * kMm;
                need(h + 4 * kPt);
                y_ += 3 * kPt;
                for (std::size_t r = 0; r < b.table.rows.size(); ++r) {
                    row(b.table, r, r == 0 ? rowHeight(b.table, 0, font(kBodyPt, true)) : 14 * kMm,
                        r == 0, false);
                }
                return;
            }
        }
    }

    QPdfWriter& pdf_;
    QPainter* p_;
    const Document& doc_;
    int total_;
    double width_ = 0;
    double bottom_ = 0;
    double footerY_ = 0;
    int page_ = 1;
    double y_ = 0;
};

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

Document document(const cfg::Record& r, const Labels& labels, const lc::Record* loopCheck) {
    Document d{kTitle, valueOf(r.fields, "tag"), {}};
    d.blocks.push_back({Kind::Title, kTitle, {}});
    d.blocks.push_back({Kind::Heading, "一、仪表标识", {}});
    d.blocks.push_back({Kind::Table, {}, identityTable(r, labels)});
    d.blocks.push_back({Kind::Heading, "二、组态参数", {}});
    d.blocks.push_back({Kind::Table, {}, fieldTable(r, r.fields, cfg::Part::Setting, labels)});
    d.blocks.push_back({Kind::Heading, "三、实时值", {}});
    d.blocks.push_back({Kind::Table, {}, fieldTable(r, r.live, cfg::Part::Live, labels)});
    if (loopCheck != nullptr) loopCheckBlocks(d, *loopCheck);
    d.blocks.push_back({Kind::Heading, "签字", {}});
    d.blocks.push_back(
        {Kind::Signatures,
         {},
         {{0.2, 0.25, 0.2, 0.35},
          true,
          {{"", "姓名", "日期", "签名"}, {"调试人员", "", "", ""}, {"验收人员", "", "", ""}},
          {}}});
    return d;
}

std::string writePdf(const std::string& path, const cfg::Record& record, const Labels& labels,
                     const lc::Record* loopCheck) {
    // A loop check of another instrument must not be filed under this one.
    for (const char* f : {"manufacturer-id", "device-type", "device-id"}) {
        if (loopCheck == nullptr) break;
        const std::string checked = valueOf(loopCheck->instrument, f);
        if (checked != valueOf(record.identity, f))
            return std::string("the loop check is of another instrument (") + f + " " +
                   orNone(checked) + ", this one " + orNone(valueOf(record.identity, f)) + ")";
    }
    ensureApplication();
    const Document doc = document(record, labels, loopCheck);
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(18, 15, 18, 10), QPageLayout::Millimeter);
        pdf.setResolution(static_cast<int>(72 * kPt));
        pdf.setTitle(QString::fromStdString(doc.title));
        pdf.setCreator(QString::fromStdString(record.tool));
        const int total = Pages(pdf, nullptr, doc, 0).run();
        QPainter painter;
        if (!painter.begin(&pdf)) return "the report could not be laid out";
        Pages(pdf, &painter, doc, total).run();
        painter.end();
    }
    if (bytes.isEmpty()) return "the report could not be laid out";
    return cfg::saveAtomically(path, std::string_view(bytes.constData(), bytes.size()));
}

}  // namespace report
