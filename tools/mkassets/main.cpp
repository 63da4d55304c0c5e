// mkassets OUTPUT_FOLDER [--preview FOLDER]
// Writes the program's media files: res.dll (wait clip), vertisano2.dll (About clip),
// vertisano.dll (chime), corvane.ico, hand.cur and about.bmp. The same bytes come out every time.
// With --preview, every picture and frame is also written as a PPM file for a look at the art.
#include <cstdio>
#include <string>
#include <vector>

#include "Art.h"
#include "Bytes.h"
#include "Formats.h"
#include "Palette.h"

using namespace mkassets;

namespace {

const uint32_t kFace = 0xC0C0C0;  // button face: the clips' background, kept exact as colour 0

IndexedPicture indexed(const Image& image, const std::vector<uint32_t>& palette) {
  return {image.width, image.height, palette, toIndices(image.packed(), palette)};
}

std::vector<uint8_t> clip(const std::vector<Image>& frames, uint32_t microseconds, ClipCoding coding) {
  std::vector<std::vector<uint32_t>> pictures;
  for (const Image& frame : frames) pictures.push_back(frame.packed());
  std::vector<uint32_t> palette = medianCut(pictures, {kFace}, 256);
  std::vector<std::vector<uint8_t>> indices;
  for (auto& picture : pictures) indices.push_back(toIndices(picture, palette));
  return aviClip(frames[0].width, frames[0].height, microseconds, palette, indices, coding);
}

IconImage iconImage(int size, int bits) {
  Image art = programIcon(size);
  std::vector<uint32_t> palette = bits == 4 ? vgaPalette() : medianCut({art.packed()}, {0x000000}, 256);
  IconImage image;
  image.picture = indexed(art, palette);
  image.bitsPerPixel = bits;
  for (size_t i = 0; i < art.alpha.size(); ++i) {
    bool clear = art.alpha[i] < 0.5;
    image.transparent.push_back(clear);
    if (clear) image.picture.indices[i] = 0;  // transparent pixels are black in the colour image
  }
  return image;
}

IconImage cursorImage() {
  std::vector<uint8_t> hand = handCursorPixels();
  IconImage image;
  image.picture = {32, 32, {0x000000, 0xFFFFFF}, {}};
  image.bitsPerPixel = 1;
  image.hotX = 12, image.hotY = 9;
  for (uint8_t p : hand) {
    image.picture.indices.push_back(p == 2 ? 1 : 0);
    image.transparent.push_back(p == 0);
  }
  return image;
}

void preview(const std::string& folder, const std::string& name, const Image& image) {
  std::vector<uint32_t> pixels = image.packed();
  Bytes out;
  std::string header = "P6\n" + std::to_string(image.width) + " " + std::to_string(image.height) + "\n255\n";
  out.data.assign(header.begin(), header.end());
  for (uint32_t p : pixels) out.u8(p >> 16), out.u8((p >> 8) & 255), out.u8(p & 255);
  writeFile(folder + "/" + name + ".ppm", out.data);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--preview")) {
    std::fprintf(stderr, "usage: mkassets OUTPUT_FOLDER [--preview FOLDER]\n");
    return 2;
  }
  std::string out = argv[1];
  std::vector<Image> wait = waitClipFrames();
  std::vector<Image> disc = discClipFrames();
  Image picture = aboutPicture();

  bool ok = writeFile(out + "/res.dll", clip(wait, 100000, ClipCoding::Rle8));
  ok = writeFile(out + "/vertisano2.dll", clip(disc, 125000, ClipCoding::Raw8)) && ok;
  ok = writeFile(out + "/vertisano.dll", waveSound(22050, chimeSamples())) && ok;
  ok = writeFile(out + "/corvane.ico", iconFile({iconImage(16, 4), iconImage(32, 8)})) && ok;
  ok = writeFile(out + "/hand.cur", cursorFile(cursorImage())) && ok;
  ok = writeFile(out + "/about.bmp", bitmapFile(picture.width, picture.height, picture.packed())) && ok;

  if (argc == 4) {
    std::string folder = argv[3];
    for (size_t i = 0; i < wait.size(); ++i) preview(folder, "wait" + std::to_string(i), wait[i]);
    for (size_t i = 0; i < disc.size(); ++i) preview(folder, "disc" + std::to_string(i), disc[i]);
    preview(folder, "about", picture);
    preview(folder, "icon32", programIcon(32));
    preview(folder, "icon16", programIcon(16));
    std::vector<uint8_t> hand = handCursorPixels();
    Image cursor(32, 32, rgb(0x40A040));
    for (int i = 0; i < 32 * 32; ++i)
      if (hand[i]) cursor.pixels[i] = hand[i] == 1 ? rgb(0) : rgb(0xFFFFFF);
    preview(folder, "hand", cursor);
  }
  return ok ? 0 : 1;
}
