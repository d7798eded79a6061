// Experiments: the lists each kind makes, every row's figures against what
// --compare says of the same list, the statistics against tables worked out
// by hand, and the workers' results, order and cancel.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <set>
#include <sstream>

#include "CompareMode.h"
#include "ExperimentMode.h"
#include "ExperimentRun.h"
#include "ExperimentTable.h"

namespace {

using namespace TreeExperiments;

std::string Text(std::span<const std::int16_t> values) {
  std::string text;
  for (const std::int16_t v : values) {
    if (!text.empty()) text += ',';
    text += std::to_string(v);
  }
  return text;
}

// The number after "key": in `text`; empty when there is none.
std::string Field(std::string_view text, const std::string& key) {
  const auto at = text.find('"' + key + "\":");
  if (at == std::string_view::npos) return {};
  const auto from = at + key.size() + 3;
  return std::string(text.substr(from, text.find_first_not_of("0123456789", from) - from));
}

// --compare's line for `get LIST`, turned into the CSV's figures.
std::pair<std::string, std::string> CompareFigures(std::span<const std::int16_t> values) {
  std::istringstream in("get " + Text(values) + "\n");
  std::ostringstream out, err;
  EXPECT_EQ(TreeTrace::RunCompareMode(in, out, err), 0);
  const std::string line = out.str();
  const auto avlAt = line.find("\"avl\":");
  const std::string_view scheme = std::string_view(line).substr(0, avlAt);
  const std::string_view avl = std::string_view(line).substr(avlAt);
  const auto figures = [](std::string_view side) {
    std::string text = Field(side, "levels");
    for (const char* key : {"RR", "RL", "LL", "LR", "fixups"}) text += ',' + Field(side, key);
    return text;
  };
  return {figures(scheme), figures(avl)};
}

// The CSV without its times.
std::string WithoutMs(const std::string& csv) {
  std::string out;
  std::istringstream lines(csv);
  for (std::string line; std::getline(lines, line);)
    out += line.substr(0, line.rfind(',') + 1) + "ms\n";
  return out;
}

// A CSV row's levels..fixups.
std::string RowFigures(const std::string& row) {
  std::vector<std::string> fields;
  std::stringstream split(row);
  for (std::string f; std::getline(split, f, ',');) fields.push_back(f);
  if (row.back() == ',') fields.emplace_back();
  std::string out;
  for (std::size_t i = 4; i <= 9 && i < fields.size(); ++i) {
    if (i > 4) out += ',';
    out += fields[i];
  }
  return out;
}

TEST(ExperimentFigures, EveryRowAgreesWithCompareMode) {
  Settings settings;
  settings.Seed = 20261209;
  settings.Repeats = 3;
  settings.Sizes = {1, 2, 7, 8, 31, 100, 257, 1000};
  for (const ListId& id : PlanLists(settings)) {
    SCOPED_TRACE(std::string(KindName(id.Kind)) + " " + std::to_string(id.Size) + " #" +
                 std::to_string(id.Repeat));
    const auto result = RunList(id, settings);
    ASSERT_TRUE(result && result->Scheme && result->Avl);
    const auto [scheme, avl] = CompareFigures(MakeList(id.Kind, id.Size, settings.Seed, id.Repeat));
    EXPECT_EQ(RowFigures(CsvRow(id, TreeName::Scheme, *result->Scheme)), scheme);
    EXPECT_EQ(RowFigures(CsvRow(id, TreeName::Avl, *result->Avl)), avl);
  }
}

TEST(ExperimentLists, EachKindAsDescribedAndTheSameFromTheSameSeed) {
  using V = std::vector<std::int16_t>;
  EXPECT_EQ(MakeList(ListKind::Ascending, 4, 9, 1), (V{1, 2, 3, 4}));
  EXPECT_EQ(MakeList(ListKind::Descending, 4, 9, 1), (V{4, 3, 2, 1}));
  EXPECT_EQ(MakeList(ListKind::ZigZag, 7, 9, 1), (V{1, 7, 2, 6, 3, 5, 4}));
  EXPECT_EQ(MakeList(ListKind::ZigZag, 6, 9, 1), (V{1, 6, 2, 5, 3, 4}));
  EXPECT_EQ(MakeList(ListKind::Duplicates, 7, 9, 1), V(7, 1));
  // The derivation fixed once: these lists are what every machine makes.
  EXPECT_EQ(MakeList(ListKind::Random, 3, 5, 1), (V{-28821, 22162, 563}));
  EXPECT_EQ(MakeList(ListKind::Random, 3, 5, 2), (V{-13634, 15995, -23545}));

  for (const int n : {8, 100, 32767}) {
    SCOPED_TRACE(n);
    const V random = MakeList(ListKind::Random, n, 7, 3);
    EXPECT_EQ(std::set<std::int16_t>(random.begin(), random.end()).size(), std::size_t(n));
    EXPECT_EQ(random, MakeList(ListKind::Random, n, 7, 3));
    EXPECT_NE(random, MakeList(ListKind::Random, n, 7, 4));
    EXPECT_NE(random, MakeList(ListKind::Random, n, 8, 3));
    const V dup = MakeList(ListKind::Duplicates, n, 7, 3);
    ASSERT_EQ(dup.size(), std::size_t(n));
    const auto [low, high] = std::minmax_element(dup.begin(), dup.end());
    EXPECT_EQ(*low, 1);
    EXPECT_EQ(*high, n / 4);  // some draw reaches the top at these sizes
  }
}

TEST(ExperimentLists, LevelBounds) {
  struct Case {
    int n, least, avlWorst;
  } const cases[] = {{0, 0, 0},  {1, 1, 1},  {2, 2, 2},  {3, 2, 2},      {4, 3, 3},
                     {6, 3, 3},  {7, 3, 4},  {11, 4, 4}, {12, 4, 5},     {20, 5, 6},
                     {33, 6, 7}, {54, 6, 8}, {88, 7, 9}, {32767, 15, 21}};
  for (const Case& c : cases) {
    EXPECT_EQ(LeastLevels(c.n), c.least) << c.n;
    EXPECT_EQ(AvlWorstLevels(c.n), c.avlWorst) << c.n;
  }
}

TEST(ExperimentOptions, ReadAndRefused) {
  const auto kinds = std::get<0>(ReadKinds("zigzag, random,zigzag"));
  EXPECT_EQ(kinds, (std::vector<ListKind>{ListKind::ZigZag, ListKind::Random}));
  EXPECT_EQ(std::get<0>(ReadSizes("31,7, 1,7")), (std::vector<int>{1, 7, 31}));
  EXPECT_EQ(std::get<0>(ReadRepeats("+3")), 3);
  EXPECT_EQ(std::get<0>(ReadSeedText("4294967295")), 4294967295u);
  for (const char* bad : {"", "Random", "random,", "sorted"})
    EXPECT_TRUE(std::holds_alternative<std::string>(ReadKinds(bad))) << bad;
  for (const char* bad : {"", "0", "32768", "-1", "3,,4", "1.5", "7x"})
    EXPECT_TRUE(std::holds_alternative<std::string>(ReadSizes(bad))) << bad;
  for (const char* bad : {"", "0", "-2", "10001", "two"})
    EXPECT_TRUE(std::holds_alternative<std::string>(ReadRepeats(bad))) << bad;
  for (const char* bad : {"", "-1", "4294967296"})
    EXPECT_TRUE(std::holds_alternative<std::string>(ReadSeedText(bad))) << bad;
}

TEST(ExperimentTable, RowsAndPlanOrder) {
  Settings settings;
  settings.Kinds = {ListKind::ZigZag, ListKind::Random};
  settings.Sizes = {3, 7};
  settings.Repeats = 2;
  const std::vector<ListId> expected = {{ListKind::ZigZag, 3, 1}, {ListKind::ZigZag, 7, 1},
                                        {ListKind::Random, 3, 1}, {ListKind::Random, 3, 2},
                                        {ListKind::Random, 7, 1}, {ListKind::Random, 7, 2}};
  EXPECT_EQ(PlanLists(settings), expected);
  const TreeFigures figures{5, {1, 2, 3, 4}, 6, 12.3456};
  EXPECT_EQ(CsvRow({ListKind::ZigZag, 7, 1}, TreeName::Scheme, figures),
            "zigzag,7,1,scheme,5,1,2,3,4,6,12.346");
  EXPECT_EQ(CsvRow({ListKind::Random, 7, 2}, TreeName::Avl, figures),
            "random,7,2,avl,5,1,2,3,4,,12.346");
  EXPECT_EQ(Millis(0.0004), "0.000");
  EXPECT_EQ(ListLine({ListKind::ZigZag, 3, 1}, std::vector<std::int16_t>{1, -3, 2}),
            "zigzag,3,1:1,-3,2");
}

TEST(ExperimentTable, AggregateMatchesHandWorkedTables) {
  Aggregate aggregate;
  const auto add = [&](int repeat, int size, TreeFigures scheme, TreeFigures avl) {
    aggregate.Add({{ListKind::Random, size, repeat}, scheme, avl});
  };
  // Three repeats at n = 4, one at n = 2.
  add(1, 4, {3, {1, 0, 2, 0}, 4, 2.0}, {3, {1, 1, 0, 0}, 0, 1.0});
  add(2, 4, {4, {0, 0, 0, 0}, 0, 4.0}, {3, {0, 0, 0, 0}, 0, 0.5});
  add(3, 4, {3, {0, 1, 0, 1}, 2, 0.0}, {3, {0, 0, 1, 1}, 0, 1.5});
  add(1, 2, {2, {0, 0, 0, 0}, 0, 0.002}, {2, {0, 0, 0, 0}, 0, 0.004});
  struct Row {
    int size;
    TreeName tree;
    Measure measure;
    double mean, min, max;
    int count;
  } const rows[] = {
      // levels 3, 4, 3
      {4, TreeName::Scheme, Measure::Levels, 10.0 / 3, 3, 4, 3},
      // rotations 3, 0, 2 per 4 values
      {4, TreeName::Scheme, Measure::Rotations, 5.0 / 12, 0, 0.75, 3},
      {4, TreeName::Scheme, Measure::LL, 2.0 / 12, 0, 0.5, 3},
      {4, TreeName::Scheme, Measure::LR, 1.0 / 12, 0, 0.25, 3},
      // fix-ups 4, 0, 2 per 4 values
      {4, TreeName::Scheme, Measure::FixUps, 0.5, 0, 1, 3},
      // 2, 4, 0 ms over 4 values, in microseconds per value
      {4, TreeName::Scheme, Measure::Micros, 500, 0, 1000, 3},
      {4, TreeName::Avl, Measure::Rotations, 4.0 / 12, 0, 0.5, 3},
      {4, TreeName::Avl, Measure::Micros, 250, 125, 375, 3},
      {2, TreeName::Avl, Measure::Micros, 2, 2, 2, 1},
      {2, TreeName::Scheme, Measure::Levels, 2, 2, 2, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.size) + std::string(TreeText(r.tree)) +
                 std::to_string(static_cast<int>(r.measure)));
    const Stat s = aggregate.Of({ListKind::Random, r.size, r.tree}, r.measure);
    EXPECT_DOUBLE_EQ(s.Mean, r.mean);
    EXPECT_DOUBLE_EQ(s.Min, r.min);
    EXPECT_DOUBLE_EQ(s.Max, r.max);
    EXPECT_EQ(s.Count, r.count);
  }
  EXPECT_EQ(aggregate.Of({ListKind::ZigZag, 4, TreeName::Scheme}, Measure::Levels).Count, 0);
  EXPECT_EQ(aggregate.All().size(), 4u);
}

TEST(ExperimentRunTest, EveryListOnceThenFinishedOnce) {
  Settings settings;
  settings.Sizes = {1, 15, 200};
  settings.Repeats = 4;
  std::mutex mutex;
  std::vector<ListId> seen;
  int finished = 0;
  bool cancelled = true;
  {
    ExperimentRun run(
        settings,
        [&](const ListResult& r) {
          const std::lock_guard lock(mutex);
          seen.push_back(r.Id);
        },
        [&](bool c) {
          const std::lock_guard lock(mutex);
          ++finished;
          cancelled = c;
        },
        3);
    run.Wait();
    EXPECT_EQ(run.Done(), run.Total());
  }
  auto plan = PlanLists(settings);
  const auto order = [](const ListId& a, const ListId& b) {
    return std::tie(a.Kind, a.Size, a.Repeat) < std::tie(b.Kind, b.Size, b.Repeat);
  };
  std::sort(plan.begin(), plan.end(), order);
  std::sort(seen.begin(), seen.end(), order);
  EXPECT_EQ(seen, plan);
  EXPECT_EQ(finished, 1);
  EXPECT_FALSE(cancelled);
}

TEST(ExperimentRunTest, WorkOrderStartsTheLongestThenGoesFromTheShortest) {
  const std::vector<ListId> plan = PlanLists(Settings{});
  const auto order = ExperimentRun::WorkOrder(plan, 3);
  ASSERT_EQ(order.size(), plan.size());
  EXPECT_TRUE(std::is_permutation(order.begin(), order.end(), plan.begin(), plan.end()));
  EXPECT_EQ(order[0], (ListId{ListKind::Descending, 32767, 1}));
  EXPECT_EQ(order[1], (ListId{ListKind::Descending, 16383, 1}));
  EXPECT_EQ(order[2].Size, 1);
  EXPECT_EQ(order.back(), (ListId{ListKind::ZigZag, 32767, 1}));
  EXPECT_EQ(ExperimentRun::WorkOrder(plan, 1).front().Size, 1);
}

TEST(ExperimentRunTest, CancelStopsALongListPartWay) {
  Settings settings;
  settings.Kinds = {ListKind::Descending};
  settings.Sizes = {32767};
  std::atomic<int> results{0}, finished{0};
  std::atomic<bool> cancelled{false};
  ExperimentRun run(
      settings, [&](const ListResult&) { ++results; },
      [&](bool c) {
        cancelled = c;
        ++finished;
      },
      2);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  run.Cancel();
  run.Wait();  // the one list alone takes seconds
  EXPECT_EQ(results, 0);
  EXPECT_EQ(finished, 1);
  EXPECT_TRUE(cancelled);
}

TEST(ExperimentModeTest, CsvInPlanOrderAndListsLines) {
  Settings settings;
  settings.Kinds = {ListKind::Duplicates, ListKind::Ascending};
  settings.Sizes = {5, 40};
  settings.Repeats = 2;
  std::ostringstream csv, again, lists;
  RunExperimentMode(settings, false, csv, 2);
  RunExperimentMode(settings, false, again, 1);
  RunExperimentMode(settings, true, lists);
  EXPECT_EQ(WithoutMs(csv.str()), WithoutMs(again.str()));
  std::istringstream rows(csv.str()), listLines(lists.str());
  std::string line;
  std::getline(rows, line);
  EXPECT_EQ(line, CsvHeader);
  for (const ListId& id : PlanLists(settings)) {
    const auto values = MakeList(id.Kind, id.Size, settings.Seed, id.Repeat);
    std::getline(listLines, line);
    EXPECT_EQ(line, ListLine(id, values));
    const auto [scheme, avl] = CompareFigures(values);
    const std::string head = std::string(KindName(id.Kind)) + ',' + std::to_string(id.Size) + ',' +
                             std::to_string(id.Repeat);
    std::getline(rows, line);
    EXPECT_EQ(line.rfind(head + ",scheme," + scheme + ',', 0), 0u) << line;
    std::getline(rows, line);
    EXPECT_EQ(line.rfind(head + ",avl," + avl + ',', 0), 0u) << line;
  }
  EXPECT_FALSE(std::getline(rows, line));
}

}  // namespace
