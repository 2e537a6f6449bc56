#pragma once
// Fixture for configurator tests: one offscreen QApplication per process,
// the capturing toolkit installed, a temporary directory standing in for the
// program's own (INI, image and skin files) and another for the runtime
// directory where the simulator announces its ports. Pages and the session
// they share start fresh in every case.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "capturing_toolkit.h"
#include "common/interface_language.h"
#include "common/module_dir.h"
#include "common/session_state.h"
#include "views/views.h"

class GuiTest : public ::testing::Test {
protected:
    // The interface language the case runs in; the pages are built in it.
    virtual UiLanguage Language() const { return UiLanguage::Chinese; }

    void SetUp() override;
    void TearDown() override;

    QString ModuleDir() const { return moduleDir_.path(); }
    QString RuntimeDir() const { return runtimeDir_.path(); }
    // Stands in for $XDG_CONFIG_HOME: the user's own settings are never touched.
    QString ConfigDir() const { return configDir_.path(); }
    // Writes a file (creating folders) under the stand-in program directory.
    void WriteModuleFile(const QString& relativePath, const QByteArray& bytes);

    CapturingToolkit toolkit_;

private:
    QTemporaryDir moduleDir_;
    QTemporaryDir runtimeDir_;
    QTemporaryDir configDir_;
    std::optional<ShippedFilesStandIn> shippedFiles_;  // the program's folder is moduleDir_
    Session session_;                   // fresh in every case, as the pages
    std::unique_ptr<CViewSet> views_;                  // fresh pages in every case
    QByteArray savedRuntimeDir_;
    QByteArray savedConfigDir_;
};
