// Replaces a module's main icon (its first icon group, in the group's language) with an .ico using resedit.
// usage: node resedit_set_icon.mjs RESEDIT_DIR MODULE ICO OUT
import fs from "fs";
import path from "path";
import { pathToFileURL } from "url";

const [reseditDir, modulePath, icoPath, outPath] = process.argv.slice(2);
const ResEdit = await import(pathToFileURL(path.join(reseditDir, "node_modules/resedit/dist/index.js")).href);
const exe = ResEdit.NtExecutable.from(fs.readFileSync(modulePath), { ignoreCert: true });
const res = ResEdit.NtExecutableResource.from(exe);
const groups = res.entries.filter((e) => e.type === 14);
// The first group as a directory lists them: names first, then numbers ascending.
groups.sort((a, b) => {
  const named = (e) => typeof e.id === "string";
  if (named(a) !== named(b)) return named(a) ? -1 : 1;
  return named(a) ? (a.id < b.id ? -1 : a.id > b.id ? 1 : 0) : a.id - b.id;
});
const main = groups.length ? groups[0] : { id: 1, lang: 0 };
const icon = ResEdit.Data.IconFile.from(fs.readFileSync(icoPath));
ResEdit.Resource.IconGroupEntry.replaceIconsForResource(res.entries, main.id, main.lang, icon.icons.map((i) => i.data));
res.outputResource(exe);
fs.writeFileSync(outPath, Buffer.from(exe.generate()));
