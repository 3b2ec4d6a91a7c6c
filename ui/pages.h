// Builders of the main window's pages; each fills one page widget with its controls.
#pragma once

class QWidget;

namespace ui::pages {

void buildOnline(QWidget* page);       // TabSheet6: identity, live values, manual command
void buildCalibration(QWidget* page);  // TabSheet7: loop current, trim, display value
void buildParameters(QWidget* page);   // TabSheet8: range, units, damping, burst mode
void buildInformation(QWidget* page);  // TabSheet9: identification fields
void buildTemperature(QWidget* page);  // TabSheet3: vendor temperature transmitters
void buildPressure(QWidget* page);     // TabSheet1: differential-pressure, multivariable
void buildWiringII(QWidget* page);     // TabSheet4: modem wiring, K(II)
void buildWiringI(QWidget* page);      // TabSheet2: modem wiring, K(I)
void buildHart7(QWidget* page);        // Hart7Page: the later revisions' commands

}  // namespace ui::pages
