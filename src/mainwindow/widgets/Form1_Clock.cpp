#include "mainwindow/widgets/Form1.h"

#include "mainwindow/ClockLines.h"
#include "mainwindow/widgets/PictureBox.h"
#include "platform/Clock.h"

namespace varnotel {

// The clock lines, redrawn whole at every tick from one reading of the clock.
void Form1::Timer1_Timer() {
    const QDateTime now = m_platform.clock.now();
    Picture1->clear();
    Picture1->printLine(chineseClockLine(now, m_platform.clock.weekdayName(now.date())));
    Picture2->clear();
    Picture2->printLine(englishClockLine(now));
}

} // namespace varnotel
