#include "catalogue/entry_order_sort.h"

#include <algorithm>

EntryTable::NumberSort::NumberSort(const EntryTable &table, std::vector<std::uint32_t> numbers)
    : m_table(table), m_numbers(std::move(numbers)), m_records(m_numbers.size())
{
}

bool EntryTable::NumberSort::step(size_t budget)
{
    const size_t n = m_records.size();
    if (!m_done && m_made == 0 && budget >= 3 * n) {
        // Budget for the whole sort (a caller doing it in one go): the
        // table's own sort of numbers is quicker than runs and merges.
        m_table.sortNumbers(m_numbers);
        for (size_t i = 0; i < n; ++i)
            m_records[i].number = m_numbers[i];
        m_made = n;
        m_done = true;
        return true;
    }
    for (; m_made < n && budget > 0; ++m_made, --budget)
        m_records[m_made] = m_table.sortRecord(m_numbers[m_made]);
    if (m_made < n || m_done)
        return m_done;
    auto less = [this](const SortRecord &a, const SortRecord &b) { return m_table.recordLess(a, b); };
    while (m_sorted < n && budget > 0) {
        const size_t end = std::min(m_sorted + kRun, n);
        std::sort(m_records.begin() + qsizetype(m_sorted), m_records.begin() + qsizetype(end), less);
        budget -= std::min(budget, end - m_sorted);
        m_sorted = end;
    }
    if (m_sorted < n)
        return false;
    while (m_width < n) {
        m_merged.resize(n);
        while (m_low < n) {
            if (!m_inPair) {
                m_middle = std::min(m_low + m_width, n);
                m_high = std::min(m_low + 2 * m_width, n);
                m_left = m_low;
                m_right = m_middle;
                m_out = m_low;
                m_inPair = true;
            }
            for (; m_out < m_high; ++m_out) {
                if (budget == 0)
                    return false;
                --budget;
                if (m_right >= m_high || (m_left < m_middle && !less(m_records[m_right], m_records[m_left])))
                    m_merged[m_out] = m_records[m_left++];
                else
                    m_merged[m_out] = m_records[m_right++];
            }
            m_inPair = false;
            m_low = m_high;
        }
        m_records.swap(m_merged);
        m_width *= 2;
        m_low = 0;
    }
    m_done = true;
    return true;
}

std::vector<std::uint32_t> EntryTable::NumberSort::take()
{
    std::vector<std::uint32_t> numbers(m_records.size());
    for (size_t i = 0; i < numbers.size(); ++i)
        numbers[i] = m_records[i].number;
    if (numbers.size() == m_table.m_count && !m_table.m_orderValid)
        m_table.adoptOrder(numbers);
    return numbers;
}
