// Tools > Options and Help > About from the main frame: OK takes the
// dialog's copy over, saves it and applies it to the open workspaces;
// Cancel changes nothing.

#include "AppTestSupport.h"
#include "app/AppIds.h"
#include "core/Theme.h"
#include "settings/AppSettings.h"
#include "settings/Registry.h"
#include "ui/AboutDialog.h"
#include "ui/OptionsDialog.h"
#include "ui/controls/ColourPickerXP.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/DocumentUpdateEvent.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTimer>
#include <QTreeWidgetItem>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct OptionsListener {
    void OnUpdate(const void* sender, int code, std::intptr_t data) {
        if (code == DUE_OptionsChanged && sender == nullptr && data == 0)
            ++heard;
    }
    int heard = 0;
};

class OptionsAboutCommandsTest : public AppTest {
protected:
    // Runs the command while answer handles the modal dialog it opens.
    QString RunAnswered(unsigned id, std::function<void(QDialog*)> answer) {
        QString shown;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr)
                return;
            shown = dialog->objectName();
            answer(dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        Frame().ExecuteCommand(id);
        return shown;
    }

    static void PickSelectionColour(QDialog* dialog, std::uint32_t colour) {
        auto* options = dynamic_cast<COptionsDialog*>(dialog);
        ASSERT_NE(options, nullptr);
        auto* picker = options->GetColorPage()->findChild<CColourPickerXP*>(
            QString::number(COptionsPageColor::IDC_Selection));
        ASSERT_NE(picker, nullptr);
        picker->OnPopupMessage(PCM_ColourAccepted, colour);
    }

    static std::uint32_t StoredSelectionColour() {
        auto store = corvale::OpenRegistry();
        store->beginGroup(QStringLiteral("Settings"));
        return corvale::ReadRegistryU32(*store, QStringLiteral("ColorSelection"), 0xFFFFFFFFu);
    }
};

} // namespace

TEST_F(OptionsAboutCommandsTest, OkSavesAndAppliesCancelDoesNothing) {
    const std::string shapes = CopyShapeFixture("polygons", m_Dir.path());
    ASSERT_TRUE(Start({QString::fromStdString(shapes)}));
    CCorvaleDoc* document = Frame().GetActiveDocument();
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(document->m_themes.size(), 1u);
    document->m_themes.front()->AddToSelection(0, 0, 1, 0x0000FF);
    OptionsListener listener;
    document->m_updateEvent.AddHandler(&listener, &OptionsListener::OnUpdate);
    CAppSettings* settings = CAppSettings::GetInstance();
    const std::uint32_t before = settings->m_ColorSelection;
    ASSERT_NE(before, 0x00FF00u);

    const QString cancelled = RunAnswered(ID_TOOLS_OPTIONS, [](QDialog* dialog) {
        PickSelectionColour(dialog, 0x123456);
        dialog->reject();
    });
    EXPECT_EQ(cancelled, QStringLiteral("1114"));
    EXPECT_EQ(settings->m_ColorSelection, before);
    EXPECT_EQ(listener.heard, 0);
    EXPECT_NE(StoredSelectionColour(), 0x123456u);

    RunAnswered(ID_TOOLS_OPTIONS, [](QDialog* dialog) {
        PickSelectionColour(dialog, 0x00FF00);
        dialog->accept();
    });
    EXPECT_EQ(settings->m_ColorSelection, 0x00FF00u);
    EXPECT_EQ(StoredSelectionColour(), 0x00FF00u);
    EXPECT_EQ(listener.heard, 1);
    CTheme* theme = document->m_themes.front();
    ASSERT_FALSE(theme->m_Selection.empty());
    EXPECT_EQ(theme->m_Selection.begin()->second.m_Color, 0x00FF00u);
    document->m_updateEvent.RemoveHandler(&listener);
    settings->m_ColorSelection = before;
}

TEST_F(OptionsAboutCommandsTest, TheMenusOpenTheDialogs) {
    ASSERT_TRUE(Start());
    QStringList menus;
    for (QAction* action : Frame().menuBar()->actions())
        if (action->menu() != nullptr)
            for (QAction* item : action->menu()->actions())
                if (item->data().isValid() && (item->data().toUInt() == ID_TOOLS_OPTIONS ||
                                               item->data().toUInt() == ID_APP_ABOUT))
                    menus << action->text() + QStringLiteral(" > ") + item->text();
    EXPECT_EQ(menus, (QStringList{QStringLiteral("T&ools > &Options..."), QStringLiteral("&Help > &About Corvale...")}));

    QString title;
    const QString shown = RunAnswered(ID_APP_ABOUT, [&title](QDialog* dialog) {
        title = dialog->windowTitle();
        dialog->accept();
    });
    EXPECT_EQ(shown, QString::number(CAboutDlg::IDD));
    EXPECT_EQ(title, QStringLiteral("About Corvale"));
}

TEST_F(OptionsAboutCommandsTest, OptionsListThePluginPagesUnderPlugins) {
    ASSERT_TRUE(Start());
    QStringList pages;
    RunAnswered(ID_TOOLS_OPTIONS, [&pages](QDialog* dialog) {
        auto* options = dynamic_cast<COptionsDialog*>(dialog);
        ASSERT_NE(options, nullptr);
        QTreeWidgetItem* plugins = options->GetPluginsItem();
        ASSERT_NE(plugins, nullptr);
        for (int i = 0; i < plugins->childCount(); ++i)
            pages << plugins->child(i)->text(0);
    });
    EXPECT_EQ(pages, (QStringList{QStringLiteral("GPI"), QStringLiteral("Loaders"), QStringLiteral("Exporters"),
                                  QStringLiteral("ISE"), QStringLiteral("Statistical")}));
}
