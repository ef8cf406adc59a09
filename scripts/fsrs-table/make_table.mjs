// SPDX-License-Identifier: GPL-3.0-or-later
// Writes tests/memory/fsrs_reference.tsv: review sequences scheduled by the
// reference FSRS-6 implementation (ts-fsrs 5), which the C++ scheduler is
// held to. Run by hand when the table is to be made again:
//   cd scripts/fsrs-table && npm install && node make_table.mjs
import { writeFileSync } from "node:fs";
import { fileURLToPath } from "node:url";
import {
  createEmptyCard, fsrs, generatorParameters, GenSeedStrategyWithCardId, StrategyMode,
} from "ts-fsrs";

const start = Date.parse("2026-03-01T06:00:00Z");
const MIN = 60 * 1000, HOUR = 60 * MIN, DAY = 24 * HOUR;

// Gaps before each review ("0" is the first review at the start), ratings 1-4.
const gap = (text) => {
  const m = /^(\d+)([smhd])$/.exec(text);
  const unit = { s: 1000, m: MIN, h: HOUR, d: DAY }[m[2]];
  return Number(m[1]) * unit;
};
const written = [
  ["learn good", "0s:3 1m:3 10m:3 3d:3 9d:3 30d:3"],
  ["learn again hard", "0s:1 1m:2 6m:1 1m:3 10m:3 1d:3"],
  ["new easy", "0s:4 10d:4 40d:4 200d:4"],
  ["new hard", "0s:2 6m:2 6m:3 10m:3 2d:2 5d:2"],
  ["lapse relearn", "0s:3 10m:3 4d:3 12d:1 10m:3 2d:3 7d:3"],
  ["lapse twice", "0s:3 10m:3 3d:1 10m:1 10m:3 1d:1 10m:2 15m:3"],
  ["relearn hard easy", "0s:3 10m:3 5d:1 10m:2 15m:4 20d:3"],
  ["long gaps", "0s:3 10m:3 400d:3 3000d:3 9000d:1 10m:3"],
  ["early same day", "0s:3 10m:3 2h:3 1h:4 30m:2 3d:3"],
  ["early review", "0s:3 10m:3 1d:3 1d:3 1d:3 2d:4"],
  ["again then easy", "0s:1 1m:1 1m:4 5d:2 1d:1 10m:4"],
  ["all easy", "0s:4 15d:4 60d:4 300d:4 1500d:4 8000d:4"],
  ["midnight utc", "0s:3 10m:3 17h:3 1h:3 23h:3"],
  ["seconds", "0s:3 61s:3 599s:3 86399s:3 86401s:1"],
];

// A fixed generator for the random sequences (mulberry32).
function mulberry32(a) {
  return () => {
    a |= 0; a = (a + 0x6d2b79f5) | 0;
    let t = Math.imul(a ^ (a >>> 15), 1 | a);
    t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}
const random = mulberry32(20261207);
const pick = (list) => list[Math.floor(random() * list.length)];
const randomSequence = (n) => {
  const steps = [];
  for (let i = 0; i < n; i++) {
    const g = i === 0 ? "0s" : pick([
      `${1 + Math.floor(random() * 20)}m`, `${1 + Math.floor(random() * 20)}h`,
      `${1 + Math.floor(random() * 10)}d`, `${1 + Math.floor(random() * 90)}d`,
      `${Math.floor(random() * 86400)}s`,
    ]);
    const rating = pick([1, 2, 3, 3, 3, 4]);
    steps.push(`${g}:${rating}`);
  }
  return steps.join(" ");
};

const cases = [];
for (const [name, seq] of written) {
  cases.push({ name, seq, retention: 0.9, fuzz: false });
}
for (const [name, seq] of written.slice(0, 8)) {
  cases.push({ name: `${name} r0.8`, seq, retention: 0.8, fuzz: false });
  cases.push({ name: `${name} r0.95`, seq, retention: 0.95, fuzz: false });
}
for (const [name, seq] of written) {
  cases.push({ name: `${name} fuzz`, seq, retention: 0.9, fuzz: true });
}
for (let i = 0; i < 40; i++) {
  const seq = randomSequence(14);
  const retention = pick([0.7, 0.85, 0.9, 0.9, 0.97]);
  cases.push({ name: `random ${i}`, seq, retention, fuzz: false });
  cases.push({ name: `random ${i} fuzz`, seq, retention, fuzz: true });
}

const iso = (ms) => new Date(ms).toISOString().replace(/\.000Z$/, "Z");
const lines = [
  "# Made by scripts/fsrs-table/make_table.mjs from ts-fsrs; do not edit by hand.",
  "# sequence\tretention\tfuzz\tid\ttime\trating\tstate\tstability\tdifficulty\tdue\treps\tlapses\tdays\tstep",
];
cases.forEach((c, n) => {
  const params = generatorParameters({ request_retention: c.retention, enable_fuzz: c.fuzz });
  const scheduler = fsrs(params);
  scheduler.useStrategy(StrategyMode.SEED, GenSeedStrategyWithCardId("qid"));
  const id = `MC${1 + (n % 3)}-${String(n).padStart(4, "0")}`;
  let card = { ...createEmptyCard(new Date(start)), qid: id };
  let time = start;
  for (const step of c.seq.split(" ")) {
    const [g, r] = step.split(":");
    time += gap(g);
    const rating = Number(r);
    const next = scheduler.next(card, new Date(time), rating).card;
    card = { ...next, qid: id };
    lines.push([
      c.name, c.retention, c.fuzz ? 1 : 0, id, iso(time), rating, card.state,
      card.stability, card.difficulty, iso(card.due.getTime()), card.reps, card.lapses,
      card.scheduled_days, card.learning_steps,
    ].join("\t"));
  }
});
const out = fileURLToPath(new URL("../../tests/memory/fsrs_reference.tsv", import.meta.url));
writeFileSync(out, lines.join("\n") + "\n");
console.log(`${lines.length - 2} reviews in ${cases.length} sequences -> ${out}`);
