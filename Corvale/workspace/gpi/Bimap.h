#pragma once
// A two-way map: two ordered maps kept in step, one keyed by the left value,
// one by the right. Each left value pairs with exactly one right value and the
// other way round. The plug-in host keeps its shape handles in one (handle <->
// shape record), so that either side is found without a walk.

#include <map>
#include <stdexcept>

// Thrown by insert when either value is already present.
class duplicate_value : public std::logic_error {
public:
    duplicate_value() : std::logic_error("duplicate value") {}
};

// Thrown by a throwing lookup that finds nothing.
class value_not_found : public std::logic_error {
public:
    value_not_found() : std::logic_error("value not found") {}
};

template <class Left, class Right> class bimap {
public:
    // Adds the pair; throws duplicate_value, changing nothing, when either side
    // is already present.
    void insert(const Left& left, const Right& right) {
        if (m_ByLeft.count(left) != 0 || m_ByRight.count(right) != 0)
            throw duplicate_value();
        m_ByLeft.emplace(left, right);
        try {
            m_ByRight.emplace(right, left);
        } catch (...) {
            m_ByLeft.erase(left);
            throw;
        }
    }

    // The partner of a value; throws value_not_found when it is absent.
    const Right& right_of(const Left& left) const {
        auto it = m_ByLeft.find(left);
        if (it == m_ByLeft.end())
            throw value_not_found();
        return it->second;
    }
    const Left& left_of(const Right& right) const {
        auto it = m_ByRight.find(right);
        if (it == m_ByRight.end())
            throw value_not_found();
        return it->second;
    }

    // The partner of a value, or null when it is absent.
    const Right* find_right(const Left& left) const {
        auto it = m_ByLeft.find(left);
        return it == m_ByLeft.end() ? nullptr : &it->second;
    }
    const Left* find_left(const Right& right) const {
        auto it = m_ByRight.find(right);
        return it == m_ByRight.end() ? nullptr : &it->second;
    }

    bool contains_left(const Left& left) const { return m_ByLeft.count(left) != 0; }
    bool contains_right(const Right& right) const { return m_ByRight.count(right) != 0; }

    // Remove a pair by either side; false when it was not there.
    bool erase_left(const Left& left) {
        auto it = m_ByLeft.find(left);
        if (it == m_ByLeft.end())
            return false;
        m_ByRight.erase(it->second);
        m_ByLeft.erase(it);
        return true;
    }
    bool erase_right(const Right& right) {
        auto it = m_ByRight.find(right);
        if (it == m_ByRight.end())
            return false;
        m_ByLeft.erase(it->second);
        m_ByRight.erase(it);
        return true;
    }

    std::size_t size() const { return m_ByLeft.size(); }
    bool empty() const { return m_ByLeft.empty(); }
    void clear() {
        m_ByLeft.clear();
        m_ByRight.clear();
    }

    // Pairs in order of the left value.
    const std::map<Left, Right>& by_left() const { return m_ByLeft; }

private:
    std::map<Left, Right> m_ByLeft;
    std::map<Right, Left> m_ByRight;
};
