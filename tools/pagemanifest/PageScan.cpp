// Element extraction and checks for one page resource (see PageScan.h).
#include "PageScan.h"

#include "base/AsciiText.h"

#include "HtmlScanner.h"
#include "PageError.h"

#include <map>
#include <optional>

namespace kesto::pages {

namespace {

bool IsIdentifier(std::string_view id)
{
    if (id.empty() || id.size() > 64)
        return false;
    for (std::size_t i = 0; i < id.size(); ++i) {
        const char c = id[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !(digit && i > 0))
            return false;
    }
    return true;
}

ElementKind InputKind(std::string_view type)
{
    if (type.empty() || type == "text" || type == "password" || type == "hidden" ||
        type == "search" || type == "email" || type == "number" || type == "tel" || type == "url")
        return ElementKind::Text;
    if (type == "checkbox")
        return ElementKind::Check;
    if (type == "button" || type == "submit" || type == "reset" || type == "image")
        return ElementKind::Button;
    return ElementKind::Other;
}

class PageBuilder {
public:
    explicit PageBuilder(int pageId) { m_doc.pageId = pageId; }

    void StartTag(const HtmlToken& tag)
    {
        const std::string* id = tag.Attribute("id");
        if (id != nullptr)
            ClaimId(*id, tag.line);

        if (tag.name == "body")
            CheckBody(tag);
        else if (tag.name == "select")
            OpenSelect(tag, id);
        else if (tag.name == "option")
            OpenOption(tag);
        else if (tag.name == "input")
            Input(tag, id);
        else if (tag.name == "textarea" && id != nullptr)
            Add(*id, ElementKind::Text, tag.line);
        else if (tag.name == "img" && id != nullptr)
            Add(*id, ElementKind::Image, tag.line);
        else if (tag.name == "button" && id != nullptr)
            Add(*id, ElementKind::Button, tag.line);
    }

    void EndTag(const HtmlToken& tag)
    {
        if (tag.name == "option") {
            CloseOption();
        } else if (tag.name == "select") {
            if (!m_select)
                throw PageError(tag.line, "</select> without an open <select>");
            CloseSelect(tag.line);
        }
    }

    void Text(const HtmlToken& token)
    {
        if (m_option)
            *m_option += token.text;
        else if (m_select && !CollapseSpace(token.text).empty())
            throw PageError(token.line, "text inside <select> outside an <option>");
    }

    PageDocument Finish(int lastLine)
    {
        if (m_select)
            throw PageError(m_doc.elements[*m_select].line,
                            "<select id=\"" + m_doc.elements[*m_select].id + "\"> is never closed");
        if (!m_sawBody)
            throw PageError(lastLine, "page has no <body data-page=\"" +
                                          std::to_string(m_doc.pageId) + "\">");
        for (const auto& [name, index] : m_groups) {
            (void)name;
            PageElement& group = m_doc.elements[index];
            if (group.options.size() < 2)
                throw PageError(group.line, "radio group '" + group.id + "' has only one member");
        }
        return std::move(m_doc);
    }

private:
    void ClaimId(const std::string& id, int line)
    {
        if (!IsIdentifier(id))
            throw PageError(line, "id '" + id + "' is not an identifier (letters, digits, '_')");
        const auto [it, inserted] = m_ids.emplace(AsciiLower(id), line);
        if (!inserted)
            throw PageError(line, "duplicate id '" + id + "' (first used on line " +
                                      std::to_string(it->second) + ")");
    }

    void Add(const std::string& id, ElementKind kind, int line)
    {
        m_doc.elements.push_back(PageElement{id, kind, {}, line});
    }

    void CheckBody(const HtmlToken& tag)
    {
        const std::string* page = tag.Attribute("data-page");
        if (page == nullptr || *page != std::to_string(m_doc.pageId))
            throw PageError(tag.line,
                            "<body> must carry data-page=\"" + std::to_string(m_doc.pageId) + "\"");
        m_sawBody = true;
    }

    void OpenSelect(const HtmlToken& tag, const std::string* id)
    {
        if (m_select)
            throw PageError(tag.line, "<select> inside another <select>");
        if (id == nullptr)
            throw PageError(tag.line, "<select> without an id");
        Add(*id, ElementKind::Select, tag.line);
        m_select = m_doc.elements.size() - 1;
    }

    void CloseSelect(int line)
    {
        CloseOption();
        PageElement& select = m_doc.elements[*m_select];
        if (select.options.empty())
            throw PageError(line, "<select id=\"" + select.id + "\"> has no options");
        m_select.reset();
    }

    void OpenOption(const HtmlToken& tag)
    {
        if (!m_select)
            throw PageError(tag.line, "<option> outside a <select>");
        CloseOption(); // an option ends at the next one, as in HTML
        m_option = std::string{};
    }

    void CloseOption()
    {
        if (!m_option)
            return;
        m_doc.elements[*m_select].options.push_back(CollapseSpace(*m_option));
        m_option.reset();
    }

    void Input(const HtmlToken& tag, const std::string* id)
    {
        const std::string* typeAttr = tag.Attribute("type");
        std::string type = typeAttr != nullptr ? AsciiLower(*typeAttr) : std::string{};
        if (type != "radio") {
            if (id != nullptr)
                Add(*id, InputKind(type), tag.line);
            return;
        }
        const std::string* name = tag.Attribute("name");
        if (name == nullptr || name->empty())
            throw PageError(tag.line, "radio button without a group name");
        if (id != nullptr)
            Add(*id, ElementKind::Other, tag.line);
        auto group = m_groups.find(*name);
        if (group == m_groups.end()) {
            // The group name is addressed like an id, so it must not clash with one.
            ClaimId(*name, tag.line);
            Add(*name, ElementKind::Radio, tag.line);
            group = m_groups.emplace(*name, m_doc.elements.size() - 1).first;
        }
        m_doc.elements[group->second].options.push_back(id != nullptr ? *id : std::string{});
    }

    PageDocument m_doc;
    std::map<std::string, int> m_ids; // folded id -> first line
    std::map<std::string, std::size_t> m_groups;
    std::optional<std::size_t> m_select;
    std::optional<std::string> m_option;
    bool m_sawBody = false;
};

} // namespace

std::string CollapseSpace(std::string_view text)
{
    std::string out;
    bool pendingSpace = false;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {
            pendingSpace = !out.empty();
            continue;
        }
        if (pendingSpace)
            out += ' ';
        pendingSpace = false;
        out += c;
    }
    return out;
}

PageDocument ScanPage(std::string_view html, int pageId)
{
    HtmlScanner scanner(html);
    PageBuilder builder(pageId);
    HtmlToken token;
    int lastLine = 1;
    while (scanner.Next(token)) {
        lastLine = token.line;
        switch (token.type) {
        case HtmlToken::Type::StartTag:
            builder.StartTag(token);
            break;
        case HtmlToken::Type::EndTag:
            builder.EndTag(token);
            break;
        case HtmlToken::Type::Text:
            builder.Text(token);
            break;
        }
    }
    return builder.Finish(lastLine);
}

int PageIdFromFileName(std::string_view fileName)
{
    constexpr std::string_view kSuffix = ".html";
    if (!fileName.ends_with(kSuffix))
        return 0;
    const std::string_view digits = fileName.substr(0, fileName.size() - kSuffix.size());
    if (digits.empty() || digits.size() > 5 || digits[0] == '0')
        return 0;
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace kesto::pages
