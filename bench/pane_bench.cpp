// The speed of the text pane on the Qt backend, offscreen: every article of
// the volume laid out, and laid out and drawn, in a pane of the reader's
// size on the handheld (240 by 320) and of a desktop window (1280 by 800),
// in "David CLM" at the default size.
//
//   build/bench/quenzil_pane_bench
//
// The time is for the whole volume; "per_article" is the time per article.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "content/article.h"
#include "content/letters.h"
#include "pane/pane.h"
#include "platform/qt/qt_backend.h"

namespace {

std::vector<ArticleBuffer> LoadVolume() {
  std::vector<ArticleBuffer> articles;
  for (int32_t n = 1; n <= kArticleCount; ++n) {
    ArticleBuffer a = LoadArticle(n, nullptr);
    if (!a) std::abort();
    articles.push_back(std::move(a));
  }
  return articles;
}

void PaneVolume(benchmark::State& state, bool draw) {
  const auto width = static_cast<int32_t>(state.range(0));
  const int32_t height = width == 240 ? 320 : 800;
  static std::vector<ArticleBuffer> articles = LoadVolume();
  SurfaceHandle surface = CreateImageSurface(width, height);
  FontSpec fonts{};
  const std::u16string_view face = u"David CLM";
  std::copy(face.begin(), face.end(), fonts.FontName);
  const Rect rect{0, 0, width, height};
  TextPane* pane = CreatePane(surface, &rect, fonts, 100);
  int64_t rows = 0;
  for (auto _ : state) {
    rows = 0;
    for (ArticleBuffer& article : articles) {
      if (LayOutArticle(pane, &article, true) != kPaneOk) std::abort();
      if (draw && DrawPane(pane, true) != kPaneOk) std::abort();
      rows += pane->lineCount;
      article = std::move(pane->article);
    }
    benchmark::ClobberMemory();
  }
  state.counters["per_article"] = benchmark::Counter(static_cast<double>(state.iterations()) * kArticleCount,
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["rows"] = static_cast<double>(rows);
  DestroyPane(pane);
  DestroyImageSurface(surface);
}

void LayOut(benchmark::State& state) { PaneVolume(state, false); }
void LayOutAndDraw(benchmark::State& state) { PaneVolume(state, true); }

BENCHMARK(LayOut)->Arg(240)->Arg(1280)->Unit(benchmark::kMillisecond);
BENCHMARK(LayOutAndDraw)->Arg(240)->Arg(1280)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  StartQtApplication(&argc, argv, true);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
