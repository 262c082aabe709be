#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellumor::exceptions {

// One page's own offsets, in the unit of the file they came from: OffsetX is the binding offset,
// OffsetY the top offset.
struct PageException {
    std::int64_t Page = 0;
    std::int64_t OffsetX = 0;
    std::int64_t OffsetY = 0;
    bool operator==(const PageException&) const = default;
};

// The exception table: one record per text key in 512 buckets. The window keys a page by its
// decimal text; the file reader keys it by the first field as written, so "7" and "007" are two
// entries for page 7. Entries are visited in the order their keys were first set.
class PageExceptionTable {
  public:
    struct Entree {
        std::string cle;
        PageException exception;
    };

    // Sets the record of key, replacing the one already there.
    void definir(std::string_view cle, const PageException& exception);
    // The record of key, or null.
    const PageException* trouver(std::string_view cle) const;
    // Removes the record of key; false when there was none.
    bool supprimer(std::string_view cle);
    void vider();
    std::size_t size() const { return entrees_.size(); }
    bool empty() const { return entrees_.empty(); }
    const std::vector<Entree>& entrees() const { return entrees_; }

    static constexpr std::size_t kSeaux = 512;

  private:
    std::size_t seau(std::string_view cle) const;
    std::size_t position(std::string_view cle) const;  // entrees_.size() when absent

    std::vector<Entree> entrees_;
    std::array<std::vector<std::size_t>, kSeaux> seaux_;  // indices into entrees_
};

// The run list: the table's records sorted by Page ascending (records of equal Page keep the
// table's order). It is what the window shows and what the workers search.
using PageExceptionList = std::vector<PageException>;

// A fresh run list from the table.
PageExceptionList reconstruire_liste(const PageExceptionTable& table);

// The first record of a run list (sorted by Page) whose Page is page, or null. Only reads: several
// threads may search one list at once.
const PageException* trouver_exception(const PageExceptionList& list, std::int64_t page);

// The process-wide table and run list of the program, empty at start-up.
PageExceptionTable& GLB_Exceptions_Table();
PageExceptionList& GLB_Exceptions_Liste();

// A number of a field: blanks and tabs skipped, then an optional sign, then decimal digits up to
// the first other character; "$" before the digits reads hexadecimal digits, "%" binary digits.
// A field without digits reads as 0; a value beyond 64 bits saturates.
std::int64_t lire_nombre(std::string_view field);

}  // namespace vellumor::exceptions
