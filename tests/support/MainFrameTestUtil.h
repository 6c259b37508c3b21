#pragma once

#include "ContextSandbox.h"
#include "TestSupport.h"
#include "app/CAppContext.h"
#include "app/CCommandTable.h"
#include "app/CDocTemplate.h"
#include "app/CSettings.h"
#include "app/C_ZorvikApp.h"
#include "db/CReferenceData.h"
#include "demo/CDemoDatabase.h"
#include "dialogs/CPrompt.h"
#include "live/CLiveUpdate.h"
#include "panel/CTablet.h"
#include "panel/C_ZorvikDoc.h"
#include "views/C_MainFrame.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>
#include <memory>

namespace mainframetest {

// A main frame over a context of its own (settings in a temporary INI file, no database),
// with every prompt answered from the test's queue.
class FrameFixture : public ::testing::Test, protected testsupport::ContextSandbox
{
protected:
    void SetUp() override
    {
        CPrompt::setTestMode(true);
        CPrompt::clearQueue();
        for (int k = 0; k < 4; ++k)
            templates[k] = std::make_unique<CDocTemplate>(CDocTemplate::Kind(k), kIds[k]);
        frame = std::make_unique<C_MainFrame>();
        frame->setTemplates(templates[0].get(), templates[1].get(), templates[2].get(), templates[3].get());
        CCommandTable::install(frame.get(), nullptr);
        // The document area activates its windows only while it is shown.
        frame->show();
    }
    void TearDown() override
    {
        frame.reset();
        CPrompt::clearQueue();
        CPrompt::setTestMode(false);
    }

    // A saved panel file with no tablets.
    QString writePanel(const QString &name)
    {
        C_ZorvikDoc doc;
        const QString path = dir.file(name);
        QString error;
        EXPECT_TRUE(doc.save(path, &error)) << error.toStdString();
        return path;
    }

    static constexpr int kIds[4] = {C_MainFrame::PanelMenu, C_MainFrame::GuestsMenu, C_MainFrame::PresencesMenu,
                                    C_MainFrame::ReportMenu};
    std::unique_ptr<CDocTemplate> templates[4];
    std::unique_ptr<C_MainFrame> frame;
};

// The command numbers of the menu bar, one list per menu, separators and recent files left out.
inline QList<QList<int>> menuCommands(const C_MainFrame &frame)
{
    QList<QList<int>> out;
    for (QAction *top : frame.menuBar()->actions()) {
        QList<int> ids;
        if (QMenu *m = top->menu())
            for (QAction *a : m->actions())
                if (!a->isSeparator() && a->data().isValid())
                    ids << a->data().toInt();
        out << ids;
    }
    return out;
}

inline QStringList menuTitles(const C_MainFrame &frame)
{
    QStringList out;
    for (QAction *top : frame.menuBar()->actions())
        out << top->text();
    return out;
}

} // namespace mainframetest
