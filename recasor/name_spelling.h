#pragma once
// The spelling of a declared name, kept after the text it was read from is
// gone: held inside the object up to 15 bytes (nearly every name is that
// short), on the heap beyond, so a program's thousands of names cost little
// more than their bytes.

#include <cstddef>
#include <cstring>
#include <string_view>
#include <utility>

namespace recasor {

class NameSpelling {
public:
    NameSpelling() noexcept { bytes_[kLengthByte] = 0; }
    NameSpelling(std::string_view text) { Assign(text); }  // implicit: a spelling is its text
    NameSpelling(const NameSpelling& other) { Assign(other.view()); }
    NameSpelling(NameSpelling&& other) noexcept
    {
        std::memcpy(bytes_, other.bytes_, sizeof bytes_);
        other.bytes_[kLengthByte] = 0;
    }
    NameSpelling& operator=(NameSpelling other) noexcept
    {
        std::swap(bytes_, other.bytes_);
        return *this;
    }
    ~NameSpelling()
    {
        if (OnHeap()) delete[] Heap();
    }

    std::string_view view() const
    {
        if (!OnHeap()) return {bytes_, static_cast<unsigned char>(bytes_[kLengthByte])};
        size_t size;
        std::memcpy(&size, Heap(), sizeof size);
        return {Heap() + sizeof size, size};
    }
    operator std::string_view() const { return view(); }
    const char* data() const { return view().data(); }
    size_t size() const { return view().size(); }
    bool empty() const { return view().empty(); }

    friend bool operator==(const NameSpelling& left, std::string_view right) { return left.view() == right; }

private:
    static constexpr size_t kInPlace = 15;      // the longest spelling held in place
    static constexpr size_t kLengthByte = 15;   // its length, or kOnHeap
    static constexpr char kOnHeap = '\xFF';     // bytes_ start with a pointer to the size and the bytes

    bool OnHeap() const { return bytes_[kLengthByte] == kOnHeap; }
    char* Heap() const
    {
        char* heap;
        std::memcpy(&heap, bytes_, sizeof heap);
        return heap;
    }

    void Assign(std::string_view text)
    {
        if (text.size() <= kInPlace) {
            std::memcpy(bytes_, text.data(), text.size());
            bytes_[kLengthByte] = static_cast<char>(text.size());
            return;
        }
        size_t size = text.size();
        char* heap = new char[sizeof size + size];
        std::memcpy(heap, &size, sizeof size);
        std::memcpy(heap + sizeof size, text.data(), size);
        std::memcpy(bytes_, &heap, sizeof heap);
        bytes_[kLengthByte] = kOnHeap;
    }

    alignas(8) char bytes_[16];
};

}  // namespace recasor
