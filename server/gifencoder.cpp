#include "server/gifencoder.h"

#include <vector>

namespace {

void put16(QByteArray& out, int v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

// Variable-width LZW as GIF readers expect it: codes grow from
// minCodeSize + 1 bits up to 12, and the table starts afresh with a clear
// code once it holds 4095 entries.
class LzwWriter
{
public:
    explicit LzwWriter(int minCodeSize)
        : m_clear(1 << minCodeSize), m_minCodeSize(minCodeSize), m_slots(hashSize)
    {
        reset();
    }

    QByteArray compress(const QByteArray& pixels)
    {
        put(m_clear);
        int prefix = -1;
        for (const char pixel : pixels) {
            const int c = uchar(pixel) & (m_clear - 1);
            if (prefix < 0) {
                prefix = c;
                continue;
            }
            const int found = find(prefix, c);
            if (found >= 0) {
                prefix = found;
                continue;
            }
            putData(prefix);
            if (m_next >= maxCodes - 1) {
                put(m_clear);
                reset();
            } else {
                insert(prefix, c, m_next++);
            }
            prefix = c;
        }
        if (prefix >= 0)
            putData(prefix);
        put(m_clear + 1);
        if (m_count > 0)
            m_out.append(char(m_bits & 0xff));
        return m_out;
    }

private:
    static constexpr int maxCodes = 4096;
    static constexpr int hashSize = 8191; // prime, about twice the table

    struct Slot
    {
        int key = -1; // prefix << 8 | pixel
        int code = 0;
    };

    void reset()
    {
        m_width = m_minCodeSize + 1;
        m_next = m_clear + 2;
        std::fill(m_slots.begin(), m_slots.end(), Slot());
    }

    int slotOf(int key) const
    {
        int at = key % hashSize;
        while (m_slots[size_t(at)].key != -1 && m_slots[size_t(at)].key != key)
            at = at + 1 == hashSize ? 0 : at + 1;
        return at;
    }

    int find(int prefix, int c) const
    {
        const Slot& s = m_slots[size_t(slotOf(prefix << 8 | c))];
        return s.key == -1 ? -1 : s.code;
    }

    void insert(int prefix, int c, int code)
    {
        const int key = prefix << 8 | c;
        m_slots[size_t(slotOf(key))] = {key, code};
    }

    // A data code is followed in the reader by a new table entry, which may
    // widen the codes from the next one on; the writer keeps in step.
    void putData(int code)
    {
        put(code);
        if (m_next >= (1 << m_width) && m_width < 12)
            ++m_width;
    }

    void put(int code)
    {
        m_bits |= quint32(code) << m_count;
        m_count += m_width;
        while (m_count >= 8) {
            m_out.append(char(m_bits & 0xff));
            m_bits >>= 8;
            m_count -= 8;
        }
    }

    const int m_clear;
    const int m_minCodeSize;
    std::vector<Slot> m_slots;
    int m_width = 0;
    int m_next = 0;
    quint32 m_bits = 0;
    int m_count = 0;
    QByteArray m_out;
};

// Bits per palette index: enough for every colour given and every index used.
int colourBits(const QList<QByteArray>& frames, const QList<GifColor>& palette)
{
    int needed = int(palette.size());
    for (const QByteArray& pixels : frames)
        for (const char p : pixels)
            needed = qMax(needed, int(uchar(p)) + 1);
    int bits = 1;
    while (bits < 8 && (1 << bits) < needed)
        ++bits;
    return bits;
}

} // namespace

QByteArray encodeGif(int width, int height, const QList<QByteArray>& frames,
                     const QList<GifColor>& palette, int delayCs, int loops)
{
    const int bits = colourBits(frames, palette);
    QByteArray out("GIF89a");
    put16(out, width);
    put16(out, height);
    out.append(char(0x80 | (bits - 1) << 4 | (bits - 1))); // global table of 2^bits colours
    out.append('\0');
    out.append('\0');
    for (int i = 0; i < (1 << bits); ++i) {
        const GifColor c = palette.value(i);
        out.append(char(c.r));
        out.append(char(c.g));
        out.append(char(c.b));
    }
    if (frames.size() > 1) {
        // The application extension every GIF reader knows for the loop count.
        out.append("\x21\xff\x0bNETSCAPE2.0\x03\x01", 16);
        put16(out, loops);
        out.append('\0');
    }
    // The smallest code size readers accept is 2, even for two colours.
    const int minCodeSize = qMax(2, bits);
    for (const QByteArray& pixels : frames) {
        out.append("\x21\xf9\x04\x00", 4);
        put16(out, delayCs);
        out.append("\x00\x00", 2);
        out.append(char(0x2c));
        put16(out, 0);
        put16(out, 0);
        put16(out, width);
        put16(out, height);
        out.append('\0');
        out.append(char(minCodeSize));
        const QByteArray data =
            LzwWriter(minCodeSize)
                .compress(pixels.leftJustified(qsizetype(width) * height, '\0', true));
        for (qsizetype at = 0; at < data.size(); at += 255) {
            const QByteArray block = data.mid(at, 255);
            out.append(char(block.size()));
            out.append(block);
        }
        out.append('\0');
    }
    out.append(char(0x3b));
    return out;
}
