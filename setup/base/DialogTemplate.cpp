#include "DialogTemplate.h"

#include <algorithm>

DialogField DialogField::Ordinal(uint16_t value)
{
    DialogField field;
    field.isOrdinal = true;
    field.ordinal = value;
    return field;
}

DialogField DialogField::Text(const std::u16string& value)
{
    DialogField field;
    field.text = value;
    return field;
}

namespace {

constexpr uint16_t kExtendedSignature = 0xFFFF;
constexpr uint16_t kOrdinalMark = 0xFFFF;

// Reads little-endian values from a byte range; every read checks the end
// and a failed read leaves the reader failed for good.
class Reader
{
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Ok() const { return ok_; }
    size_t At() const { return at_; }

    uint16_t Word()
    {
        if (!Need(2))
            return 0;
        uint16_t value = static_cast<uint16_t>(data_[at_] | data_[at_ + 1] << 8);
        at_ += 2;
        return value;
    }

    uint32_t Dword()
    {
        uint32_t low = Word();
        uint32_t high = Word();
        return low | high << 16;
    }

    int16_t Short() { return static_cast<int16_t>(Word()); }

    uint8_t Byte()
    {
        if (!Need(1))
            return 0;
        return data_[at_++];
    }

    // A zero-terminated UTF-16 text.
    std::u16string Text()
    {
        std::u16string text;
        for (;;) {
            uint16_t c = Word();
            if (!ok_ || c == 0)
                return text;
            text.push_back(static_cast<char16_t>(c));
        }
    }

    // A text or an ordinal: 0xFFFF then the ordinal word; a lone 0 word is
    // an empty text.
    DialogField Field()
    {
        if (Need(2) && Peek() == kOrdinalMark) {
            Word();
            return DialogField::Ordinal(Word());
        }
        return DialogField::Text(Text());
    }

    void Skip(size_t count)
    {
        if (Need(count))
            at_ += count;
    }

    void AlignDword() { Skip((4 - at_ % 4) % 4); }

private:
    bool Need(size_t count)
    {
        if (ok_ && size_ - at_ >= count)
            return true;
        ok_ = false;
        return false;
    }

    uint16_t Peek() const { return static_cast<uint16_t>(data_[at_] | data_[at_ + 1] << 8); }

    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
    bool ok_ = true;
};

bool ReadControl(Reader& in, bool extended, DialogControl* control)
{
    control->offset = in.At();
    if (extended) {
        control->helpId = in.Dword();
        control->exStyle = in.Dword();
        control->style = in.Dword();
    } else {
        control->style = in.Dword();
        control->exStyle = in.Dword();
    }
    control->x = in.Short();
    control->y = in.Short();
    control->cx = in.Short();
    control->cy = in.Short();
    control->id = extended ? in.Dword() : in.Word();
    control->windowClass = in.Field();
    control->title = in.Field();
    control->extraSize = in.Word();
    in.Skip(control->extraSize);
    control->size = in.At() - control->offset;
    return in.Ok();
}

// Offsets of the fields a rewrite changes.
struct Offsets
{
    size_t count, cy;  // in the header
    size_t controlY;   // inside a control
};

Offsets OffsetsOf(bool extended)
{
    return extended ? Offsets{16, 24, 14} : Offsets{8, 16, 10};
}

class Writer
{
public:
    explicit Writer(std::vector<uint8_t>* out) : out_(out) {}

    void Word(uint16_t value)
    {
        out_->push_back(static_cast<uint8_t>(value & 0xFF));
        out_->push_back(static_cast<uint8_t>(value >> 8));
    }

    void Dword(uint32_t value)
    {
        Word(static_cast<uint16_t>(value & 0xFFFF));
        Word(static_cast<uint16_t>(value >> 16));
    }

    void Field(const DialogField& field)
    {
        if (field.isOrdinal) {
            Word(kOrdinalMark);
            Word(field.ordinal);
            return;
        }
        for (char16_t c : field.text)
            Word(static_cast<uint16_t>(c));
        Word(0);
    }

    void AlignDword()
    {
        while (out_->size() % 4 != 0)
            out_->push_back(0);
    }

    void PutWordAt(size_t at, uint16_t value)
    {
        (*out_)[at] = static_cast<uint8_t>(value & 0xFF);
        (*out_)[at + 1] = static_cast<uint8_t>(value >> 8);
    }

private:
    std::vector<uint8_t>* out_;
};

int16_t Saturate(int value)
{
    return static_cast<int16_t>(std::clamp(value, -32768, 32767));
}

void WriteControl(Writer& out, bool extended, const NewDialogControl& control)
{
    if (extended) {
        out.Dword(0);  // help id
        out.Dword(0);  // extended style
        out.Dword(control.style);
    } else {
        out.Dword(control.style);
        out.Dword(0);
    }
    out.Word(static_cast<uint16_t>(control.x));
    out.Word(static_cast<uint16_t>(control.y));
    out.Word(static_cast<uint16_t>(control.cx));
    out.Word(static_cast<uint16_t>(control.cy));
    if (extended)
        out.Dword(control.id);
    else
        out.Word(static_cast<uint16_t>(control.id));
    out.Field(DialogField::Ordinal(control.classOrdinal));
    out.Field(control.title);
    out.Word(0);  // no creation data
}

}  // namespace

bool ParseDialogTemplate(const uint8_t* data, size_t size, DialogTemplate* out)
{
    *out = DialogTemplate();
    Reader in(data, size);
    if (size >= 4 && (data[2] | data[3] << 8) == kExtendedSignature) {
        out->extended = true;
        in.Word();  // version
        in.Word();  // signature
        out->helpId = in.Dword();
        out->exStyle = in.Dword();
        out->style = in.Dword();
    } else {
        out->style = in.Dword();
        out->exStyle = in.Dword();
    }
    out->count = in.Word();
    out->x = in.Short();
    out->y = in.Short();
    out->cx = in.Short();
    out->cy = in.Short();
    out->menu = in.Field();
    out->windowClass = in.Field();
    out->title = in.Text();
    if (out->style & dialogstyle::kSetFont) {
        out->hasFont = true;
        out->pointSize = in.Word();
        if (out->extended) {
            in.Word();  // weight
            in.Byte();  // italic
            in.Byte();  // character set
        }
        out->typeface = in.Text();
    }
    out->headerSize = in.At();
    for (unsigned i = 0; i < out->count && in.Ok(); ++i) {
        in.AlignDword();
        DialogControl control;
        if (!ReadControl(in, out->extended, &control))
            break;
        out->controls.push_back(control);
    }
    return in.Ok();
}

std::vector<uint8_t> RewriteDialogTemplate(const uint8_t* data, size_t size, int shift,
                                           int heightChange,
                                           const std::vector<NewDialogControl>& added)
{
    DialogTemplate dialog;
    if (!ParseDialogTemplate(data, size, &dialog) ||
        dialog.count + added.size() > 0xFFFF)
        return std::vector<uint8_t>();

    const Offsets offsets = OffsetsOf(dialog.extended);
    std::vector<uint8_t> result(data, data + dialog.headerSize);
    Writer out(&result);
    out.PutWordAt(offsets.count, static_cast<uint16_t>(dialog.count + added.size()));
    out.PutWordAt(offsets.cy, static_cast<uint16_t>(Saturate(dialog.cy + heightChange)));
    for (const DialogControl& control : dialog.controls) {
        out.AlignDword();
        size_t start = result.size();
        result.insert(result.end(), data + control.offset, data + control.offset + control.size);
        out.PutWordAt(start + offsets.controlY, static_cast<uint16_t>(Saturate(control.y + shift)));
    }
    for (const NewDialogControl& control : added) {
        out.AlignDword();
        WriteControl(out, dialog.extended, control);
    }
    return result;
}
