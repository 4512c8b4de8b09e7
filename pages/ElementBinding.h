// ElementBinding: the main window's member values that are exchanged with page
// elements by identifier, in binding order, each with its kind. Push writes every
// member into the elements the current page has; Pull reads them back. Members of
// elements a page lacks are skipped both ways.
#pragma once

#include "pages/PageManifest.h"
#include "pages/PageMirror.h"

#include <string>
#include <string_view>
#include <vector>

namespace kesto {

// A bound member: the element's identifier and the sort of value it carries.
struct BoundElement {
    std::string id;
    ElementKind kind;
};

class ElementBinding {
public:
    // Every bound identifier of the main window, values "" and 0.
    ElementBinding();
    // The members of a dialog, in this order, values "" and 0.
    explicit ElementBinding(const std::vector<BoundElement>& members);

    void Push(PageMirror& page) const;
    void Pull(const PageMirror& page);

    // A member by identifier (case-insensitive). Reading an unbound identifier gives ""
    // or 0; writing one, or the other sort of value, changes nothing and returns false.
    std::string_view Text(std::string_view id) const;
    int Number(std::string_view id) const;
    bool SetText(std::string_view id, std::string_view text);
    bool SetNumber(std::string_view id, int number);

    bool IsBound(std::string_view id) const { return Find(id) != nullptr; }
    // The bound identifiers with their kinds, in binding order.
    std::vector<ElementInfo> Members() const;

private:
    struct Member {
        std::string id;
        ElementKind kind;
        std::string text;
        int number = 0;
    };
    const Member* Find(std::string_view id) const;
    Member* Find(std::string_view id);

    std::vector<Member> m_members;
};

} // namespace kesto
