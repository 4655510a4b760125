#pragma once

// PageControl1: the main window's pages. The program shows, hides and chooses pages itself
// without running the rules of a page change by the user, and the captions it sets stay
// through a language switch.

#include <QHash>
#include <QList>
#include <QTabWidget>

class DevicePage;

class PageControl : public QTabWidget {
    Q_OBJECT
public:
    using QTabWidget::QTabWidget;

    void setPageCaption(QWidget *page, const QString &caption);
    // The captions the program set, again after the form re-texted itself.
    void applyPageCaptions();

    void setPageVisible(QWidget *page, bool visible);
    // Shows a page's tab and makes it the current page.
    void showPage(QWidget *page);
    // Makes a shown page the current one again.
    void returnTo(QWidget *page);
    // Hides the tab of every page but the first.
    void hideAllPages();
    // The current page is being changed by the program, not by the user.
    bool programmaticChange() const { return m_programmatic > 0; }

    QList<DevicePage *> devicePages() const;

private:
    QHash<QWidget *, QString> m_captions;
    int m_programmatic = 0;
};
