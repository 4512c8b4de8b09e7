// The words of each apply fault (see ApplyFault.h).
#include "apply/ApplyFault.h"

namespace kesto {

std::string_view ApplyFaultMessage(ApplyFault fault)
{
    switch (fault) {
    case ApplyFault::None:
        return "";
    case ApplyFault::NoNetworkName:
        return "Der Name dieses Netzwerks ist nicht bekannt oder enth\u00e4lt ein Nullzeichen; "
               "so wird keine Verbindung hergestellt. Ein verstecktes Netzwerk sendet seinen "
               "Namen nicht: Legen Sie daf\u00fcr ein Profil mit dem Netzwerknamen an.";
    case ApplyFault::WpaNeedsName:
        return "WPA braucht den Netzwerknamen (SSID): Ein WPA-Profil ohne Netzwerknamen wird "
               "nicht verbunden. Bitte geben Sie im Profil den Netzwerknamen ein.";
    case ApplyFault::CertificateUnusable:
        return "Das Zertifikat des Profils (EAP-TLS) kann nicht verwendet werden: Es muss eine "
               "Datei mit vollst\u00e4ndigem Pfad sein, die Ihnen geh\u00f6rt und die Sie lesen "
               "k\u00f6nnen. Bitte w\u00e4hlen Sie im Profil ein anderes Zertifikat.";
    case ApplyFault::NoServerName:
        return "Die Pr\u00fcfung des Serverzertifikats ist eingeschaltet, aber der Servername "
               "fehlt oder ist ung\u00fcltig. Ohne ihn w\u00fcrde jeder Server mit einem "
               "beglaubigten Zertifikat angenommen. Bitte geben Sie im Profil den Namen des "
               "RADIUS-Servers ein (zum Beispiel radius.firma.de).";
    case ApplyFault::PassphraseUnusable:
        return "Die Passphrase des Profils muss eine L\u00e4nge von 8 bis 63 Zeichen haben. "
               "Bitte geben Sie die Passphrase im Profil neu ein.";
    case ApplyFault::SecurityUnusable:
        return "Diese Sicherheitseinstellungen kann der Adapter nicht verwenden (die "
               "Anmeldemethode passt nicht zur Verschl\u00fcsselung). Bitte \u00e4ndern Sie das "
               "Profil.";
    case ApplyFault::NameRefused:
        return "Der Adapter hat den Netzwerknamen nicht \u00fcbernommen (ein Netzwerkname hat "
               "h\u00f6chstens 32 Byte). Das Profil wurde nicht angewendet; die bisherige "
               "Verbindung bleibt bestehen.";
    case ApplyFault::SecurityRefused:
        return "Der Adapter hat die WPA- oder 802.1X-Einstellungen nicht \u00fcbernommen. Es "
               "wurde keine Verbindung hergestellt.";
    case ApplyFault::KeyRefused:
        return "Der Adapter kann den WEP-Schl\u00fcssel dieses Profils nicht verwenden (zum "
               "Beispiel keinen 256-Bit-Schl\u00fcssel). Das Profil wurde ohne Schl\u00fcssel "
               "angewendet; so kommt keine Verbindung zustande.";
    }
    return "";
}

namespace {

std::string_view FaultName(ApplyFault fault)
{
    switch (fault) {
    case ApplyFault::None:
        return "";
    case ApplyFault::NoNetworkName:
        return "NoNetworkName";
    case ApplyFault::WpaNeedsName:
        return "WpaNeedsNetworkName";
    case ApplyFault::CertificateUnusable:
        return "CertificateUnusable";
    case ApplyFault::NoServerName:
        return "NoServerName";
    case ApplyFault::PassphraseUnusable:
        return "InvalidPassphrase";
    case ApplyFault::SecurityUnusable:
        return "SecurityUnusable";
    case ApplyFault::NameRefused:
        return "NameRefused";
    case ApplyFault::SecurityRefused:
        return "SecurityRefused";
    case ApplyFault::KeyRefused:
        return "KeyRefused";
    }
    return "";
}

} // namespace

Refused ApplyRefusal(ApplyFault fault)
{
    if (fault == ApplyFault::None)
        return std::nullopt;
    return Refusal{FaultName(fault), std::string(ApplyFaultMessage(fault))};
}

void ReportApplyFault(Dialogs& dialogs, std::string_view caption, ApplyFault fault)
{
    if (fault != ApplyFault::None)
        dialogs.MessageBox(ApplyFaultMessage(fault), caption);
}

} // namespace kesto
