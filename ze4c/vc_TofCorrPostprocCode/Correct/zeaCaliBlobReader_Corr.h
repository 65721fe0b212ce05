// Bounds-checked little-endian reading of calibration bytes. A view carries its real
// length with its pointer; a cursor reads fields one after another and remembers whether
// any read ran past the end, in which case it yields zeros from then on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace NAMESPACE_CORR {

class CaliByteView {
public:
    CaliByteView() = default;
    CaliByteView(const void* pData, size_t uiSize)
        : data_(static_cast<const uint8_t*>(pData)), size_(pData != nullptr ? uiSize : 0) {}

    size_t size() const { return size_; }
    const uint8_t* data() const { return data_; }

    // True when the n bytes at offset lie inside the view.
    bool has(size_t offset, size_t n) const { return offset <= size_ && n <= size_ - offset; }

    // The bytes from offset to the end (empty when offset lies beyond it).
    CaliByteView from(size_t offset) const {
        return offset <= size_ ? CaliByteView(data_ + offset, size_ - offset) : CaliByteView();
    }

    // The first n bytes (all of them when the view is shorter).
    CaliByteView first(size_t n) const { return CaliByteView(data_, n < size_ ? n : size_); }

    // True when the view holds exactly the bytes of text at offset.
    bool equals(size_t offset, const char* pcText, size_t n) const {
        return has(offset, n) && std::memcmp(data_ + offset, pcText, n) == 0;
    }

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

class CaliCursor {
public:
    explicit CaliCursor(const CaliByteView& view, size_t offset = 0) : view_(view), pos_(offset) {}

    bool ok() const { return ok_; }
    size_t pos() const { return pos_; }
    void seek(size_t offset) { pos_ = offset; }

    // True when n more bytes are available; a failed test marks the cursor as overrun.
    bool require(size_t n) {
        if (!view_.has(pos_, n)) ok_ = false;
        return ok_;
    }

    uint8_t u8() { return static_cast<uint8_t>(take(1)); }
    int8_t i8() { return static_cast<int8_t>(take(1)); }
    uint16_t u16() { return static_cast<uint16_t>(take(2)); }
    int16_t i16() { return static_cast<int16_t>(take(2)); }
    uint32_t u32() { return static_cast<uint32_t>(take(4)); }
    float f32() {
        const uint32_t bits = u32();
        float value;
        std::memcpy(&value, &bits, sizeof(value));
        return value;
    }

    void bytes(void* pDst, size_t n) {
        if (require(n)) {
            std::memcpy(pDst, view_.data() + pos_, n);
            pos_ += n;
        } else {
            std::memset(pDst, 0, n);
        }
    }

    void f32s(float* pDst, size_t n) {
        for (size_t i = 0; i < n; ++i) pDst[i] = f32();
    }

    // Reads n values of T after checking that all of them are present, so a hostile
    // count never sizes a vector beyond the bytes at hand.
    template <class T, class Read>
    void values(std::vector<T>& out, size_t n, size_t elementBytes, Read read) {
        out.clear();
        if (n > 0 && (elementBytes == 0 || n > (view_.size() / elementBytes) || !require(n * elementBytes))) {
            ok_ = false;
            return;
        }
        out.reserve(n);
        for (size_t i = 0; i < n; ++i) out.push_back(read(*this));
    }

private:
    uint64_t take(size_t n) {
        if (!require(n)) return 0;
        uint64_t value = 0;
        for (size_t i = 0; i < n; ++i) value |= static_cast<uint64_t>(view_.data()[pos_ + i]) << (8 * i);
        pos_ += n;
        return value;
    }

    CaliByteView view_;
    size_t pos_ = 0;
    bool ok_ = true;
};

}  // namespace NAMESPACE_CORR
