// AboutDialog: the about box (page 109), showing the adapter driver's version. Run
// modally from the main pages' AboutImage and the tray menu's "Info".
#pragma once

#include "adapter/WlanApi.h"
#include "pages/HtmlDialog.h"

#include <cstdint>
#include <string>

namespace kesto {

inline constexpr int kAboutPageId = 109;

class AboutDialog : public HtmlDialog {
public:
    AboutDialog(PageHost& host, WlanApi& api, ManifestLookup manifest = PageElements);

    // The driver version as the about box shows it: "N/A" for -1 (the query failed),
    // otherwise major.minor.build-and-revision.year.
    static std::string FormatDriverVersion(std::int32_t version);

    const std::string& driverVersion() const { return m_driverVersion; }

protected:
    void OnInitDialog() override;
    void Push(PageMirror& page) override;

private:
    WlanApi& m_api;
    std::string m_driverVersion;
};

} // namespace kesto
