#pragma once

#include "qorOrvaneUI/core/LibraryView.h"

#include <array>

class QLabel;
class QPushButton;

namespace orvane::dispatch {

// "Orvane ESchedule Information": the appointment a dispatch asks for
// through the electronic schedule, five captions and their values.
class frmEscheduleInfo : public orvane::ui::LibraryView {
    Q_OBJECT
public:
    explicit frmEscheduleInfo(QWidget *parent = nullptr);

    std::array<QLabel *, 5> lblEschedule{}; // captions
    std::array<QLabel *, 5> lblEsched{};    // values
    std::array<QPushButton *, 1> cmdAction{};

    // Window icon, button picture, then the middle of the screen; failures are ignored.
    void Form_Load();
    void cmdAction_Click(int index);
};

} // namespace orvane::dispatch
