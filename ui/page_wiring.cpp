// Wiring pages: drawn sketches of how the HART modem joins the 4-20 mA loop.
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include "ui/language.h"
#include "ui/pages.h"

namespace ui::pages {

namespace {

constexpr int kPictureWidth = 470;
constexpr int kPictureHeight = 340;

enum class Tap { AcrossResistor, AcrossTransmitter };

void drawBox(QPainter& p, const QRect& box, const QString& text) {
    p.setBrush(QColor(0xF5, 0xF5, 0xF5));
    p.drawRect(box);
    p.drawText(box, Qt::AlignCenter | Qt::TextWordWrap, text);
}

// A loop of supply, 250 ohm resistor and transmitter, with the modem clipped either across
// the resistor or across the transmitter terminals; the modem's cable goes to the PC.
QPixmap drawDiagram(const QString& model, Tap tap, const QFont& font) {
    QPixmap pixmap(kPictureWidth, kPictureHeight);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(font);
    p.setPen(QPen(Qt::black, 2));

    const QRect pc(20, 40, 110, 50);
    const QRect modem(180, 40, 120, 50);
    const QRect supply(20, 240, 110, 50);
    const QRect resistor(180, 250, 120, 30);
    const QRect transmitter(340, 160, 110, 60);

    // Loop wiring: supply -> resistor -> transmitter -> back to the supply.
    p.drawLine(supply.right(), 265, resistor.left(), 265);
    p.drawLine(resistor.right(), 265, 395, 265);
    p.drawLine(395, 265, 395, transmitter.bottom());
    p.drawLine(transmitter.left(), 190, supply.center().x(), 190);
    p.drawLine(supply.center().x(), 190, supply.center().x(), supply.top());

    // Serial cable.
    p.setPen(QPen(Qt::darkBlue, 2));
    p.drawLine(pc.right(), 65, modem.left(), 65);

    // Modem clips.
    p.setPen(QPen(Qt::darkRed, 2, Qt::DashLine));
    if (tap == Tap::AcrossResistor) {
        p.drawLine(220, modem.bottom(), 200, resistor.top());
        p.drawLine(260, modem.bottom(), 280, resistor.top());
    } else {
        p.drawLine(modem.right(), 55, 420, 55);
        p.drawLine(420, 55, 420, transmitter.top());
        p.drawLine(modem.right(), 75, 360, 75);
        p.drawLine(360, 75, 360, transmitter.top());
    }

    p.setPen(QPen(Qt::black, 2));
    drawBox(p, pc, tx(Tr::tr("PC\nCOM 口")));
    drawBox(p, modem, model + "\nHART modem");
    drawBox(p, supply, tx(Tr::tr("24V DC 电源")));
    drawBox(p, resistor, "250 Ω");
    drawBox(p, transmitter, tx(Tr::tr("HART 变送器\n4-20mA")));

    p.drawText(
        QRect(10, 8, kPictureWidth - 20, 24), Qt::AlignLeft | Qt::AlignVCenter,
        tx(tap == Tap::AcrossResistor ? Tr::tr("接在 250 Ω 电阻两端") : Tr::tr("接在变送器两端")));
    return pixmap;
}

// Drawn again in the new language when the window's language changes.
class Diagram final : public QLabel {
  public:
    Diagram(QWidget* page, QString model, Tap tap)
        : QLabel(page), model_(std::move(model)), tap_(tap) {
        draw();
    }

  protected:
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::LanguageChange) draw();
        QLabel::changeEvent(event);
    }

  private:
    void draw() { setPixmap(drawDiagram(model_, tap_, parentWidget()->font())); }
    QString model_;
    Tap tap_;
};

void buildWiring(QWidget* page, const QString& model) {
    const Tap taps[] = {Tap::AcrossResistor, Tap::AcrossTransmitter};
    int x = 14;
    for (Tap tap : taps) {
        auto* picture = new Diagram(page, model, tap);
        picture->setGeometry(x, 14, kPictureWidth, kPictureHeight);
        x += kPictureWidth + 20;
    }
}

}  // namespace

void buildWiringII(QWidget* page) {
    buildWiring(page, "VT420-K(II)");
}

void buildWiringI(QWidget* page) {
    buildWiring(page, "VT420-K(I)");
}

}  // namespace ui::pages
