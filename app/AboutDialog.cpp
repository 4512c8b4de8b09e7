#include "app/AboutDialog.h"

#include <cstdio>

namespace kesto {

AboutDialog::AboutDialog(PageHost& host, WlanApi& api, ManifestLookup manifest)
    : HtmlDialog(host, kAboutPageId, std::move(manifest)), m_api(api)
{
    AddHandler(kAboutPageId, "ImageClose", ElementEvent::Click, [this] { EndDialog(kDialogOk); });
}

std::string AboutDialog::FormatDriverVersion(std::int32_t version)
{
    if (version == -1)
        return "N/A";
    // Packed as: bits 31-24 major, 23-16 minor, 15-12 year after 2000, 11-8 build,
    // 7-0 revision whose two hexadecimal digits are read as decimal ones.
    const auto v = static_cast<std::uint32_t>(version);
    char text[48];
    std::snprintf(text, sizeof text, "%d.%d.%02d%02X.%04d", static_cast<int>(v >> 24),
                  static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0x0F),
                  static_cast<unsigned>(v & 0xFF), static_cast<int>(2000 + ((v >> 12) & 0x0F)));
    return text;
}

void AboutDialog::OnInitDialog()
{
    m_driverVersion = FormatDriverVersion(m_api.QueryWL_DriverVersion());
}

void AboutDialog::Push(PageMirror& page)
{
    page.SetText("TextDriverVersion", m_driverVersion);
}

} // namespace kesto
