// Parses, as SQL Server's T-SQL, every distinct statement the SQL Server stand-in received in the
// tests (the JSON lines its --statement-log writes: {"how": "batch", "sql": "..."}), and fails on
// any that is not T-SQL. The stand-in runs statements on SQLite after the program's rewrite, so a
// SQLite-only habit would pass every FreeTDS test; this check is where it shows.
//
//   node check.mjs FOLDER      checks every *.jsonl file of FOLDER
//   node check.mjs --self-test checks that the rules below still reject what they must
//
// node-sql-parser accepts more than SQL Server does (LIMIT, "||", any function name), so the
// syntax tree is also checked against what SQL Server has.
import fs from 'node:fs';
import path from 'node:path';
import pkg from 'node-sql-parser';

const { Parser } = pkg;
const parser = new Parser();
const options = { database: 'transactsql' };

// Statements SQL Server takes that the parser does not know. Each entry matches one narrow form
// and says why it is sound; the rest of such a statement is still parsed where it can be.
const ALLOWED = [
  // (none needed so far: the parser reads everything the program and the FreeTDS driver send.)
];

// SQL Server's built-in functions the parser reports as calls, and the type names it reads as
// calls inside CONVERT(type(n), ...). A name outside this list is not SQL Server's (substr,
// ifnull, strftime, group_concat, ...).
const FUNCTIONS = new Set(`
  abs acos ascii asin atan atn2 avg cast ceiling char charindex checksum checksum_agg choose coalesce
  col_length columnproperty concat concat_ws convert cos cot count count_big current_timestamp
  databasepropertyex dateadd datediff datediff_big datefromparts datename datepart
  datetime2fromparts datetimefromparts day db_id db_name degrees dense_rank difference eomonth
  error_message error_number exp first_value floor format getdate getutcdate grouping grouping_id
  host_name ident_current iif isdate isnull isnumeric lag last_value lead left len log log10 lower
  ltrim max min month nchar newid ntile nullif object_id object_name objectproperty parse patindex
  pi power quotename radians rand rank replace replicate reverse right round row_number rtrim
  schema_id schema_name scope_identity serverproperty sessionproperty sign sin soundex space sqrt
  square stdev stdevp str string_agg string_escape stuff substring sum suser_sname switchoffset
  sysdatetime sysdatetimeoffset sysutcdatetime tan timefromparts todatetimeoffset translate trim
  try_cast try_convert try_parse type_id type_name unicode upper user_name var varp year
  bigint binary bit date datetime datetime2 datetimeoffset decimal float int money nchar numeric
  nvarchar real smalldatetime smallint time tinyint uniqueidentifier varbinary varchar
`.trim().split(/\s+/));

function functionName(node) {
  if (typeof node.name === 'string') return node.name;
  const parts = node.name && node.name.name;
  return Array.isArray(parts) ? parts.map((p) => p.value).join('.') : String(node.name);
}

// What in a syntax tree is not SQL Server's, as readable complaints.
function lint(ast) {
  const problems = [];
  const walk = (node) => {
    if (Array.isArray(node)) {
      node.forEach(walk);
      return;
    }
    if (!node || typeof node !== 'object') return;
    // A word without parentheses (the ON of "SET QUOTED_IDENTIFIER ON") comes as a function
    // without arguments: only calls are checked.
    const call = node.type === 'aggr_func' || (node.type === 'function' && node.args);
    if (call && !FUNCTIONS.has(functionName(node).toLowerCase()))
      problems.push(`${functionName(node)}() is not a SQL Server function`);
    // Words one after another ("create temp table t as ...", "foo bar") come back as an
    // assignment without a sign: not a statement SQL Server knows.
    if (node.type === 'assign' && !node.symbol && node.left && node.left.type === 'var' && !node.left.prefix)
      problems.push(`"${node.left.name} ..." is not a T-SQL statement`);
    if (node.type === 'binary_expr' && node.operator === '||')
      problems.push('"||" does not join texts in T-SQL ("+" does)');
    if (node.limit && Array.isArray(node.limit.value) && node.limit.value.length > 0)
      problems.push('LIMIT is not T-SQL (TOP is)');
    if (node.type === 'collate' && node.collate && !/_(CI|CS)_(AI|AS)|^database_default$|^Latin1_General/i.test(node.collate.name))
      problems.push(`collation ${node.collate.name} is not SQL Server's`);
    if (node.type === 'create' && /^temp/i.test(String(node.temporary || '')))
      problems.push('CREATE TEMP TABLE is not T-SQL (a "#" table is)');
    if (typeof node.table === 'string' && /^sqlite_/i.test(node.table))
      problems.push(`${node.table} is SQLite's catalogue, not SQL Server's`);
    for (const value of Object.values(node)) walk(value);
  };
  walk(ast);
  return problems;
}

// The complaints about one statement; empty when SQL Server would take it.
export function check(sql) {
  for (const entry of ALLOWED)
    if (entry.pattern.test(sql)) return { allowed: entry.reason, problems: [] };
  let ast;
  try {
    ast = parser.astify(sql, options);
  } catch (e) {
    return { problems: [`does not parse as T-SQL: ${String(e.message).split('\n')[0].slice(0, 300)}`] };
  }
  return { problems: lint(ast) };
}

function selfTest() {
  const mustFail = [
    'select x from t limit 5',
    'select substr(x, 1, 2) from t',
    "select a || 'b' from t",
    'select x from t order by x collate nocase',
    'create temp table t as select 1 as a',
    'create table t as select 1 as a',
    'select ifnull(a, 0) from t',
    "select strftime('%w', d) from t",
    'select count(*) from sqlite_master',
    'foo bar',
  ];
  const mustPass = [
    "if object_id('tempdb..#t') is not null drop table #t",
    "select t2.a, max(t3.b) as c into #t from v t2 join w t3 on t3.k = left( right( t2.k, 10 ), 8 ) and " +
      "t3.b <= '2026-03-04T10:30:15' group by t2.a",
    'select IDZaposlenog, Fotografija from viewPhoto where IDZaposlenog in (@P1, @P2)',
    'exec sp_popuni_TekuciRbrUC',
    'SET QUOTED_IDENTIFIER ON',
    "select convert(varchar(10), x, 120), isnull(a, 0) from t where n = N'Đorđe' order by n collate Serbian_Latin_100_CI_AS",
  ];
  const wrong = [
    ...mustFail.filter((s) => check(s).problems.length === 0).map((s) => `accepted: ${s}`),
    ...mustPass.filter((s) => check(s).problems.length > 0).map((s) => `refused: ${s}: ${check(s).problems}`),
  ];
  return wrong;
}

function main() {
  const arg = process.argv[2];
  if (!arg) {
    console.error('usage: node check.mjs FOLDER | --self-test');
    return 2;
  }
  const wrong = selfTest();
  if (wrong.length) {
    console.error('The T-SQL check no longer tells T-SQL from SQLite:\n  ' + wrong.join('\n  '));
    return 1;
  }
  if (arg === '--self-test') {
    console.log('self-test: ok');
    return 0;
  }
  const files = fs.existsSync(arg) ? fs.readdirSync(arg).filter((f) => f.endsWith('.jsonl')) : [];
  const statements = new Map(); // text -> how it came
  for (const f of files) {
    for (const line of fs.readFileSync(path.join(arg, f), 'utf8').split('\n')) {
      if (!line.trim()) continue;
      const { how, sql } = JSON.parse(line);
      if (!statements.has(sql)) statements.set(sql, how);
    }
  }
  if (statements.size === 0) {
    console.error(`No statement was logged in ${arg}: the tests that start the SQL Server stand-in did not run ` +
      'with ZORVIK_STATEMENT_LOG_DIR, so there is nothing to check.');
    return 1;
  }
  let failures = 0;
  const allowed = new Map();
  for (const [sql, how] of statements) {
    const result = check(sql);
    if (result.allowed) allowed.set(result.allowed, (allowed.get(result.allowed) || 0) + 1);
    if (result.problems.length) {
      ++failures;
      console.error(`not T-SQL (${how}): ${sql}\n  ${result.problems.join('\n  ')}`);
    }
  }
  for (const [reason, n] of allowed) console.log(`allowed without parsing (${n}): ${reason}`);
  console.log(`${statements.size} distinct statements from ${files.length} stand-in run(s): ` +
    `${statements.size - failures} T-SQL, ${failures} not`);
  return failures ? 1 : 0;
}

process.exitCode = main();
