#pragma once

#include "TestSupport.h"
#include "app/CAppContext.h"
#include "app/CSettings.h"
#include "db/CReferenceData.h"
#include "live/CLiveUpdate.h"

#include <memory>

namespace testsupport {

// The program's context for a test of its parts: settings in a temporary INI file, reference data
// (closed until the test opens it) and an update pass over them, made the current context.
struct ContextSandbox
{
    explicit ContextSandbox(const QString &programSuffix = QString())
        : settings(std::make_unique<CSettings>(dir.file(QStringLiteral("settings.ini")))),
          live(std::make_unique<CLiveUpdate>(&reference)),
          context(std::make_unique<CAppContext>(settings.get(), &reference, live.get(), dir.path() + programSuffix))
    {
        context->makeCurrent();
    }

    TempDir dir;
    CReferenceData reference;
    std::unique_ptr<CSettings> settings;
    std::unique_ptr<CLiveUpdate> live;
    std::unique_ptr<CAppContext> context;
};

} // namespace testsupport
