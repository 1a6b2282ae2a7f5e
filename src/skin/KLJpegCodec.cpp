#include "skin/KLJpegCodec.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <new>
#include <string>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>
#include <jerror.h>

// libjpeg reports errors by calling error_exit, which must not return: ours longjmps back to the
// function that started the libjpeg call, which then raises a C++ exception in its caller.
// Exceptions must not cross libjpeg's C frames, and nothing with a destructor lives in the frames
// a longjmp skips (the callbacks below and the Run* functions keep to plain data).

namespace orv {

namespace {

// Bounds libjpeg's whole-image buffers (progressive and multi-scan files); with no backing
// store, a damaged size that asks for more ends in an error instead of an allocation.
constexpr long kMaxLibjpegMemory = 64L << 20;

struct TJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

[[noreturn]] void ErrorExit(j_common_ptr info) {
  auto* error = reinterpret_cast<TJpegError*>(info->err);
  info->err->format_message(info, error->Message);
  std::longjmp(error->Jump, 1);
}

// Level -1 is a warning about damaged data; we refuse such a picture rather than show garbage.
void EmitMessage(j_common_ptr info, int level) {
  if (level < 0) ErrorExit(info);
}

void OutputMessage(j_common_ptr) {}

jpeg_error_mgr* InstallErrorManager(TJpegError& error) {
  jpeg_std_error(&error.Manager);
  error.Manager.error_exit = ErrorExit;
  error.Manager.emit_message = EmitMessage;
  error.Manager.output_message = OutputMessage;
  error.Message[0] = '\0';
  return &error.Manager;
}

[[noreturn]] void Fail(j_common_ptr info, int code) {
  info->err->msg_code = code;
  ErrorExit(info);
}

// The source is the whole file, already in memory: running out of it means the file was cut
// short, not that more is on its way.
void InitSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr info) { Fail(reinterpret_cast<j_common_ptr>(info), JERR_INPUT_EOF); }

void SkipInputData(j_decompress_ptr info, long count) {
  if (count <= 0) return;
  jpeg_source_mgr* source = info->src;
  if (static_cast<unsigned long>(count) > source->bytes_in_buffer)
    Fail(reinterpret_cast<j_common_ptr>(info), JERR_INPUT_EOF);
  source->next_input_byte += count;
  source->bytes_in_buffer -= static_cast<size_t>(count);
}

void TermSource(j_decompress_ptr) {}

struct TDecoder {
  jpeg_decompress_struct Info{};
  TJpegError Error{};
  jpeg_source_mgr Source{};
  bool Created = false;
  bool TooLarge = false;
  ~TDecoder() {
    if (Created) jpeg_destroy_decompress(&Info);
  }
};

// Appends the rows top-down to Rows as they are decoded, so that memory follows the data
// actually present rather than the size the header claims.
bool RunDecoder(TDecoder& d, const uint8_t* data, size_t size, std::vector<uint8_t>& rows) {
  d.Info.err = InstallErrorManager(d.Error);
  if (setjmp(d.Error.Jump)) return false;
  jpeg_create_decompress(&d.Info);
  d.Created = true;
  d.Info.mem->max_memory_to_use = kMaxLibjpegMemory;
  d.Source.next_input_byte = data;
  d.Source.bytes_in_buffer = size;
  d.Source.init_source = InitSource;
  d.Source.fill_input_buffer = FillInputBuffer;
  d.Source.skip_input_data = SkipInputData;
  d.Source.resync_to_restart = jpeg_resync_to_restart;
  d.Source.term_source = TermSource;
  d.Info.src = &d.Source;
  jpeg_read_header(&d.Info, TRUE);
  if (int64_t{d.Info.image_width} * d.Info.image_height > JpegMaxPixels) {
    d.TooLarge = true;
    return false;
  }
  d.Info.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&d.Info);
  const auto stride = static_cast<size_t>(BmpStride(d.Info.output_width, 24));
  while (d.Info.output_scanline < d.Info.output_height) {
    rows.resize(rows.size() + stride);
    JSAMPROW row = rows.data() + rows.size() - stride;
    jpeg_read_scanlines(&d.Info, &row, 1);
  }
  jpeg_finish_decompress(&d.Info);
  return true;
}

struct TEncoder {
  jpeg_compress_struct Info{};
  TJpegError Error{};
  jpeg_destination_mgr Destination{};
  std::vector<uint8_t>* Out = nullptr;
  uint8_t Buffer[16384];
  bool Created = false;
  ~TEncoder() {
    if (Created) jpeg_destroy_compress(&Info);
  }

  bool Flush(size_t count) {
    try {
      Out->insert(Out->end(), Buffer, Buffer + count);
      return true;
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
};

TEncoder& EncoderOf(j_compress_ptr info) { return *static_cast<TEncoder*>(info->client_data); }

void InitDestination(j_compress_ptr info) {
  TEncoder& e = EncoderOf(info);
  e.Destination.next_output_byte = e.Buffer;
  e.Destination.free_in_buffer = sizeof e.Buffer;
}

boolean EmptyOutputBuffer(j_compress_ptr info) {
  TEncoder& e = EncoderOf(info);
  if (!e.Flush(sizeof e.Buffer)) Fail(reinterpret_cast<j_common_ptr>(info), JERR_OUT_OF_MEMORY);
  InitDestination(info);
  return TRUE;
}

void TermDestination(j_compress_ptr info) {
  TEncoder& e = EncoderOf(info);
  if (!e.Flush(sizeof e.Buffer - e.Destination.free_in_buffer))
    Fail(reinterpret_cast<j_common_ptr>(info), JERR_OUT_OF_MEMORY);
}

// Rows: top-down, blue-green-red, Stride bytes apart.
bool RunEncoder(TEncoder& e, const uint8_t* rows, size_t stride, int32_t width, int32_t height, int quality) {
  e.Info.err = InstallErrorManager(e.Error);
  if (setjmp(e.Error.Jump)) return false;
  jpeg_create_compress(&e.Info);
  e.Created = true;
  e.Info.client_data = &e;
  e.Destination.init_destination = InitDestination;
  e.Destination.empty_output_buffer = EmptyOutputBuffer;
  e.Destination.term_destination = TermDestination;
  e.Info.dest = &e.Destination;
  e.Info.image_width = static_cast<JDIMENSION>(width);
  e.Info.image_height = static_cast<JDIMENSION>(height);
  e.Info.input_components = 3;
  e.Info.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&e.Info);
  jpeg_set_quality(&e.Info, quality, TRUE);
  jpeg_start_compress(&e.Info, TRUE);
  while (e.Info.next_scanline < e.Info.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(rows + stride * e.Info.next_scanline);
    jpeg_write_scanlines(&e.Info, &row, 1);
  }
  jpeg_finish_compress(&e.Info);
  return true;
}

}  // namespace

TBmpImage DecodeJpeg(const uint8_t* data, size_t size) {
  TDecoder decoder;
  std::vector<uint8_t> rows;
  if (!RunDecoder(decoder, data, size, rows)) {
    if (decoder.TooLarge) throw EInvalidGraphic("JPEG image is too large");
    throw EInvalidGraphic(std::string("JPEG error: ") + decoder.Error.Message);
  }
  TBmpImage image;
  image.Width = static_cast<int32_t>(decoder.Info.output_width);
  image.Height = static_cast<int32_t>(decoder.Info.output_height);
  image.BitCount = 24;
  image.Pixels = std::move(rows);
  const auto stride = static_cast<size_t>(BmpStride(image.Width, 24));
  for (int32_t top = 0, bottom = image.Height - 1; top < bottom; ++top, --bottom)
    std::swap_ranges(image.Pixels.begin() + stride * top, image.Pixels.begin() + stride * (top + 1),
                     image.Pixels.begin() + stride * bottom);
  return image;
}

std::vector<uint8_t> EncodeJpeg(const TBmpPixels& image, int quality) {
  if (image.Width <= 0 || image.Height <= 0) throw EInvalidGraphic("Cannot save an empty JPEG image");
  const auto stride = static_cast<size_t>(image.Width) * 3;
  std::vector<uint8_t> rows(stride * static_cast<size_t>(image.Height));
  for (int32_t y = 0; y < image.Height; ++y) {
    uint8_t* p = rows.data() + stride * y;
    for (int32_t x = 0; x < image.Width; ++x) {
      const uint32_t color = BmpPixelColor(image, x, y);
      *p++ = static_cast<uint8_t>(color >> 16);
      *p++ = static_cast<uint8_t>(color >> 8);
      *p++ = static_cast<uint8_t>(color);
    }
  }
  std::vector<uint8_t> out;
  TEncoder encoder;
  encoder.Out = &out;
  if (!RunEncoder(encoder, rows.data(), stride, image.Width, image.Height, std::clamp(quality, 1, 100)))
    throw EInvalidGraphic(std::string("JPEG error: ") + encoder.Error.Message);
  return out;
}

}  // namespace orv
