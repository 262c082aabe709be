#include "ops/exceptions/page_exception.h"

#include <algorithm>

#include "common/text_utf8.h"

namespace vellumor::exceptions {

std::size_t PageExceptionTable::seau(std::string_view cle) const {
    // FNV-1a over the key's bytes.
    std::uint32_t h = 2166136261u;
    for (const char c : cle) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h % kSeaux;
}

std::size_t PageExceptionTable::position(std::string_view cle) const {
    for (const std::size_t i : seaux_[seau(cle)])
        if (entrees_[i].cle == cle) return i;
    return entrees_.size();
}

void PageExceptionTable::definir(std::string_view cle, const PageException& exception) {
    const std::size_t i = position(cle);
    if (i < entrees_.size()) {
        entrees_[i].exception = exception;
        return;
    }
    seaux_[seau(cle)].push_back(entrees_.size());
    entrees_.push_back({std::string(cle), exception});
}

const PageException* PageExceptionTable::trouver(std::string_view cle) const {
    const std::size_t i = position(cle);
    return i < entrees_.size() ? &entrees_[i].exception : nullptr;
}

bool PageExceptionTable::supprimer(std::string_view cle) {
    const std::size_t i = position(cle);
    if (i == entrees_.size()) return false;
    entrees_.erase(entrees_.begin() + std::ptrdiff_t(i));
    for (auto& bucket : seaux_) {
        std::erase(bucket, i);
        for (auto& index : bucket)
            if (index > i) --index;
    }
    return true;
}

void PageExceptionTable::vider() {
    entrees_.clear();
    for (auto& bucket : seaux_) bucket.clear();
}

PageExceptionList reconstruire_liste(const PageExceptionTable& table) {
    PageExceptionList list;
    list.reserve(table.size());
    for (const auto& e : table.entrees()) list.push_back(e.exception);
    std::stable_sort(list.begin(), list.end(), [](const PageException& a, const PageException& b) {
        return a.Page < b.Page;
    });
    return list;
}

const PageException* trouver_exception(const PageExceptionList& list, std::int64_t page) {
    const auto it =
        std::lower_bound(list.begin(), list.end(), page,
                         [](const PageException& e, std::int64_t p) { return e.Page < p; });
    return it != list.end() && it->Page == page ? &*it : nullptr;
}

PageExceptionTable& GLB_Exceptions_Table() {
    static PageExceptionTable table;
    return table;
}

PageExceptionList& GLB_Exceptions_Liste() {
    static PageExceptionList list;
    return list;
}

std::int64_t lire_nombre(std::string_view field) {
    return lire_entier(field, true);
}

}  // namespace vellumor::exceptions
