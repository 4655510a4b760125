// The main window has a fixed size: every text of its left column, its network page and its
// status bar must fit its widget in German and in English. The state without network shows
// the longest run-time texts ("ohne IP Adresse" in bold, the no-connection message).

#include "app/language.h"
#include "app/qevprogrammerform.h"
#include "fakehostnetwork.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct LanguageRow {
    const char *name;
    const char *flag; // the flag a user clicks for the language
};

void PrintTo(const LanguageRow &row, std::ostream *out) {
    *out << row.name;
}

// What is wrong with the widget's text, empty when it fits.
std::string clipped(const QWidget *widget) {
    QSize needed;
    if (const auto *label = qobject_cast<const QLabel *>(widget)) {
        if (label->text().isEmpty())
            return {};
        if (label->wordWrap()) {
            // A word longer than the line stands out to the right.
            const QRect contents = label->contentsRect();
            const QRect text = label->fontMetrics().boundingRect(
                QRect(contents.topLeft(), QSize(contents.width(), QWIDGETSIZE_MAX)),
                int(label->alignment()) | Qt::TextWordWrap, label->text());
            needed = text.size() + (label->size() - contents.size());
        } else {
            needed = label->sizeHint();
        }
    } else if (const auto *button = qobject_cast<const QAbstractButton *>(widget)) {
        if (button->text().isEmpty())
            return {};
        needed = button->sizeHint();
    } else if (const auto *group = qobject_cast<const QGroupBox *>(widget)) {
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = group->title();
        option.subControls = QStyle::SC_GroupBoxLabel;
        option.lineWidth = 1;
        const QRect title = group->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                           QStyle::SC_GroupBoxLabel, group);
        needed = QSize(title.right() + 1, 0);
    } else {
        return {};
    }
    if (needed.width() <= widget->width() && needed.height() <= widget->height())
        return {};
    return widget->objectName().toStdString() + " needs " + std::to_string(needed.width()) + "x" +
           std::to_string(needed.height()) + ", has " + std::to_string(widget->width()) + "x" +
           std::to_string(widget->height());
}

class TextsFit : public ::testing::TestWithParam<LanguageRow> {
protected:
    void TearDown() override { SwitchLanguage(LanguageGerman); }
};

TEST_P(TextsFit, NothingIsClippedWithoutNetwork) {
    qevtest::FakeHostNetwork host;
    host.setLocalIP(QString());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TQevProgrammerForm form(dir.filePath(QStringLiteral("qev-programmer.ini")));
    form.show();
    form.FormActivate();
    ASSERT_TRUE(form.NoNetwork());
    // As a user switches: the run-time texts of the state without network follow the flag.
    auto *flag = form.findChild<QAbstractButton *>(QLatin1String(GetParam().flag));
    ASSERT_NE(flag, nullptr);
    flag->click();
    // The layouts take the new texts in as the event loop would.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);

    int checked = 0;
    for (const char *area : {"PanelLeft", "TabSheetMain", "StatusBar1"}) {
        const auto *parent = form.findChild<QWidget *>(QLatin1String(area));
        ASSERT_NE(parent, nullptr) << area;
        for (const QWidget *widget : parent->findChildren<QWidget *>()) {
            if (!widget->isVisibleTo(&form))
                continue;
            EXPECT_EQ(clipped(widget), "") << area;
            ++checked;
        }
    }
    // The walk reached the texts at all.
    EXPECT_GT(checked, 30);
}

INSTANTIATE_TEST_SUITE_P(Languages, TextsFit,
                         ::testing::Values(LanguageRow{"German", "Image9"},
                                           LanguageRow{"English", "Image10"}),
                         [](const ::testing::TestParamInfo<LanguageRow> &row) {
                             return std::string(row.param.name);
                         });

} // namespace
