// Array's sort and sortOn, with their options, and the constants that name them. A script's
// compare function may answer anything, even at random (a common way to shuffle): the sort
// must end, and stay within the array, whatever it answers.

#include <algorithm>

#include "swf/avm1/machine.h"
#include "swf/avm1/natives.h"
#include "swf/avm1/strings.h"

namespace quillmere::swf::avm1 {

namespace {

enum Option : int { CaseInsensitive = 1, Descending = 2, UniqueSort = 4, ReturnIndexedArray = 8, Numeric = 16 };

// A stable merge sort that only ever asks `before` about two elements in range: unlike the
// standard sorts, a comparison that contradicts itself cannot take it past either end.
template <typename T, typename Before>
void mergeSort(std::vector<T>& items, Before before)
{
    std::vector<T> buffer(items.size());
    for (std::size_t width = 1; width < items.size(); width *= 2) {
        for (std::size_t start = 0; start < items.size(); start += 2 * width) {
            const std::size_t middle = std::min(start + width, items.size());
            const std::size_t end = std::min(start + 2 * width, items.size());
            std::size_t left = start, right = middle, out = start;
            while (left < middle && right < end)
                buffer[out++] = before(items[right], items[left]) ? items[right++] : items[left++];
            while (left < middle)
                buffer[out++] = items[left++];
            while (right < end)
                buffer[out++] = items[right++];
        }
        items.swap(buffer);
    }
}

} // namespace

void Machine::installArraySorting(Object* arrayClass)
{
    for (const auto& [name, value] : {std::pair{"CASEINSENSITIVE", CaseInsensitive},
                                      {"DESCENDING", Descending},
                                      {"UNIQUESORT", UniqueSort},
                                      {"RETURNINDEXEDARRAY", ReturnIndexedArray},
                                      {"NUMERIC", Numeric}})
        arrayClass->put(key(name), double(value), Property::DontEnum | Property::DontDelete | Property::ReadOnly);

    // Sorts the array by `compare` (below 0: the first goes first) under `options`; gives the
    // array, or the sorted indices, or 0 when UNIQUESORT finds two equal.
    const auto sortBy = [](Machine& m, const Value& self, int options, const auto& compare) -> Value {
        auto* array = dynamic_cast<Array*>(objectIn(self));
        if (!array)
            return Undefined{};
        const double length = m.toNumber(m.member(self, "length"));
        const std::size_t count = length > 0 ? std::size_t(std::min(length, double(Heap::kLongestArray))) : 0;
        m.spend(count / 16);
        std::vector<std::pair<Value, std::size_t>> items;
        for (std::size_t i = 0; i < count; ++i)
            items.emplace_back(m.member(self, std::to_string(i)), i);
        bool equal = false;
        mergeSort(items, [&](const auto& x, const auto& y) {
            m.spend(1);
            double order = compare(x.first, y.first);
            equal |= order == 0;
            return (options & Descending ? -order : order) < 0;
        });
        if (options & UniqueSort && equal)
            return 0.0;
        Array* out = options & ReturnIndexedArray ? m.makeArray() : array;
        for (std::size_t i = 0; i < items.size(); ++i)
            if (!out->put(std::to_string(i),
                          options & ReturnIndexedArray ? Value(double(items[i].second)) : std::move(items[i].first)))
                m.halt(Ending::OutOfMemory);
        return Value(out);
    };
    // Two values by the options alone: as numbers, or as strings, in either case.
    const auto plainOrder = [](Machine& m, int options) {
        return [&m, options](const Value& x, const Value& y) -> double {
            if (options & Numeric) {
                const double a = m.toNumber(x), b = m.toNumber(y);
                return a < b ? -1 : b < a ? 1 : 0;
            }
            std::string a = m.toString(x), b = m.toString(y);
            if (options & CaseInsensitive) {
                a = lowerCase(a);
                b = lowerCase(b);
            }
            return a.compare(b) < 0 ? -1 : b.compare(a) < 0 ? 1 : 0;
        };
    };
    const auto optionsIn = [](Machine& m, const Value& v) {
        return std::holds_alternative<Undefined>(v) ? 0 : Conversions::toInt32(m.toNumber(v));
    };

    // sort(), sort(options), sort(compare), sort(compare, options)
    defineMethod(arrayPrototype_, "sort", [=](Machine& m, Value self, Arguments& a) {
        const Value first = argument(a, 0);
        if (dynamic_cast<Function*>(objectIn(first))) {
            return sortBy(m, self, optionsIn(m, argument(a, 1)), [&](const Value& x, const Value& y) {
                Arguments pair{x, y};
                const double order = m.toNumber(m.call(first, Undefined{}, pair));
                return std::isnan(order) ? 0.0 : order;
            });
        }
        const int options = optionsIn(m, first);
        return sortBy(m, self, options, plainOrder(m, options));
    });
    // sortOn(field or fields, options or an option for each field): by the first field, then
    // the next where those are equal.
    defineMethod(arrayPrototype_, "sortOn", [=](Machine& m, Value self, Arguments& a) {
        std::vector<std::pair<std::string, int>> fields;
        const Value names = argument(a, 0), options = argument(a, 1);
        const bool manyNames = dynamic_cast<Array*>(objectIn(names)) != nullptr;
        const bool manyOptions = dynamic_cast<Array*>(objectIn(options)) != nullptr;
        const double count = manyNames ? std::min(m.toNumber(m.member(names, "length")), 64.0) : 1;
        for (std::size_t i = 0; double(i) < count; ++i) {
            const std::string index = std::to_string(i);
            fields.emplace_back(m.toString(manyNames ? m.member(names, index) : names),
                                optionsIn(m, manyOptions ? m.member(options, index) : options));
        }
        // One number of options orders the whole; a list orders each field its own way.
        const int overall = manyOptions ? 0 : optionsIn(m, options) & (Descending | UniqueSort | ReturnIndexedArray);
        return sortBy(m, self, overall, [&](const Value& x, const Value& y) {
            for (const auto& [field, fieldOptions] : fields) {
                const double order = plainOrder(m, fieldOptions & ~Descending)(m.member(x, field), m.member(y, field));
                if (order != 0)
                    return manyOptions && fieldOptions & Descending ? -order : order;
            }
            return 0.0;
        });
    });
}

} // namespace quillmere::swf::avm1
