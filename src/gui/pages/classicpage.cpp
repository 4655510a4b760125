#include "pages/classicpage.h"

#include "devicelink/devicelink.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolTip>

namespace {

// Marks the spin boxes whose read-only state a screen reader must hear.
const char *const ServiceFieldProperty = "qevServiceField";

// Qt's accessible spin box never reports itself read-only; the clock and latch fields are
// read-only until the service function unlocks them.
class ServiceFieldAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ServiceFieldAccessible(QSpinBox *field)
        : QAccessibleWidget(field, QAccessible::SpinBox) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = field()->isReadOnly();
        s.editable = !field()->isReadOnly();
        return s;
    }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? field()->text() : QAccessibleWidget::text(t);
    }
    void *interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QVariant currentValue() const override { return field()->value(); }
    void setCurrentValue(const QVariant &value) override {
        if (!field()->isReadOnly())
            field()->setValue(value.toInt());
    }
    QVariant maximumValue() const override { return field()->maximum(); }
    QVariant minimumValue() const override { return field()->minimum(); }
    QVariant minimumStepSize() const override { return field()->singleStep(); }

private:
    QSpinBox *field() const { return static_cast<QSpinBox *>(widget()); }
};

QAccessibleInterface *serviceFieldAccessible(const QString &className, QObject *object) {
    auto *field = qobject_cast<QSpinBox *>(object);
    if (field && className == QLatin1String("QSpinBox") &&
        field->property(ServiceFieldProperty).toBool())
        return new ServiceFieldAccessible(field);
    return nullptr;
}

} // namespace

ClassicPage::ClassicPage(QWidget *parent)
    : FormDevicePage<Ui::ClassicPage>(parent) {
    [[maybe_unused]] static const bool accessible = [] {
        QAccessible::installFactory(serviceFieldAccessible);
        return true;
    }();
    for (QSpinBox *field : {ui.edSBusClock, ui.edSBusLatch}) {
        field->setProperty(ServiceFieldProperty, true);
        // While the form was built a screen reader may have got Qt's own interface already.
        QAccessibleInterface *made = QAccessible::queryAccessibleInterface(field);
        if (!dynamic_cast<ServiceFieldAccessible *>(made))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
    // The timing and the latch-delay choice share one handler.
    for (QComboBox *choice : {ui.edSBusTiming, ui.edSBusLatchDelay})
        connect(choice, &QComboBox::currentIndexChanged, this,
                [this] { guarded([this] { edSBusTimingChange(); }); });
    connect(ui.btnClassicSpeichern, &QPushButton::clicked, this,
            [this] { guarded([this] { btnClassicSpeichernClick(); }); });
    // A spin box's text is its inner line edit: that is where the double click lands.
    for (QObject *watched : {static_cast<QObject *>(ui.Label48), static_cast<QObject *>(ui.Label86),
                             static_cast<QObject *>(ui.edSBusClock->findChild<QLineEdit *>()),
                             static_cast<QObject *>(ui.edSBusLatch->findChild<QLineEdit *>())})
        watched->installEventFilter(this);
    setServiceLocked(ui.edSBusClock, true);
    setServiceLocked(ui.edSBusLatch, true);
    // The datagram carries the output count in one byte. A longer number typed is refused
    // with the field's hint, which says why, instead of leaving a cut number unnoticed.
    connect(ui.edSBusAusgang->findChild<QLineEdit *>(), &QLineEdit::inputRejected, this, [this] {
        QSpinBox *field = ui.edSBusAusgang;
        QToolTip::showText(field->mapToGlobal(QPoint(0, field->height())), field->toolTip(), field);
    });
}

LightModeControls ClassicPage::modeControls() const {
    return {ui.rbLDTLUMode, ui.rbLDTAutarkMode, ui.cbLDTDemo, ui.cbLDTInaktiv};
}

void ClassicPage::TabSheetClassicShow() {
    const qev::light::ClassicValues values = qev::light::ReadClassic(host().link());
    if (values.settings)
        showSettings(*values.settings);
    if (values.mode)
        modeControls().show(*values.mode);
}

void ClassicPage::showSettings(const qev::light::ClassicSettings &settings) {
    ui.edSBusAusgang->setValue(settings.outputs);
    ui.edDMXAusgang->setValue(settings.dmx);
    ui.edSBusClock->setValue(settings.clock);
    ui.edSBusLatch->setValue(settings.latch);
    // The choices show what the device holds; they do not reset the clock and latch that
    // were just read.
    const QSignalBlocker timingBlocker(ui.edSBusTiming);
    const QSignalBlocker delayBlocker(ui.edSBusLatchDelay);
    ui.edSBusTiming->setCurrentIndex(qev::light::TimingChoiceOfClock(settings.clock));
    if (const std::optional<int> choice = qev::light::LatchDelayChoice(settings.latchDelay))
        ui.edSBusLatchDelay->setCurrentIndex(*choice);
}

void ClassicPage::edSBusTimingChange() {
    const int value = qev::light::ClockOfTimingChoice(ui.edSBusTiming->currentIndex());
    ui.edSBusClock->setValue(value);
    ui.edSBusLatch->setValue(value);
}

void ClassicPage::btnClassicSpeichernClick() {
    const qev::light::ClassicSettings settings{ui.edSBusAusgang->value(), ui.edDMXAusgang->value(),
                                               ui.edSBusClock->value(), ui.edSBusLatch->value(),
                                               ui.edSBusLatchDelay->currentIndex()};
    qev::light::SaveClassic(host().link(), settings, modeControls().mode());
    setServiceLocked(ui.edSBusClock, true);
    setServiceLocked(ui.edSBusLatch, true);
}

void ClassicPage::Label48DblClick() {
    m_clockArmed = true;
}

void ClassicPage::Label86DblClick() {
    m_latchArmed = true;
}

void ClassicPage::edSBusClockDblClick() {
    if (!m_clockArmed)
        return;
    m_clockArmed = false;
    setServiceLocked(ui.edSBusClock, false);
}

void ClassicPage::edSBusLatchDblClick() {
    if (!m_latchArmed)
        return;
    m_latchArmed = false;
    setServiceLocked(ui.edSBusLatch, false);
}

bool ClassicPage::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == ui.Label48)
            Label48DblClick();
        else if (watched == ui.Label86)
            Label86DblClick();
        else if (watched->parent() == ui.edSBusClock)
            edSBusClockDblClick();
        else if (watched->parent() == ui.edSBusLatch)
            edSBusLatchDblClick();
    }
    return FormDevicePage<Ui::ClassicPage>::eventFilter(watched, event);
}

void ClassicPage::setServiceLocked(QSpinBox *field, bool locked) {
    field->setReadOnly(locked);
    QAccessible::State changed;
    changed.readOnly = true;
    changed.editable = true;
    QAccessibleStateChangeEvent event(field, changed);
    QAccessible::updateAccessibility(&event);
    field->setButtonSymbols(locked ? QAbstractSpinBox::NoButtons : QAbstractSpinBox::UpDownArrows);
    QPalette palette = QApplication::palette(field);
    if (locked)
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    field->setPalette(palette);
}
