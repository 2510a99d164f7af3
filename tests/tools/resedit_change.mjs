// Makes one resource change with resedit, the resource editor from the npm registry:
//   node resedit_change.mjs RESEDIT_FOLDER MODULE OUT icon|bitmap NAME LANGUAGE FILE
// icon replaces (or adds) an icon group; bitmap replaces (or adds) a bitmap from a .bmp without its file header.
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

const [folder, module, out, what, nameText, languageText, file] = process.argv.slice(2);
const ResEdit = await import(pathToFileURL(join(folder, 'node_modules', 'resedit', 'dist', 'index.js')));
const name = /^\d+$/.test(nameText) ? Number(nameText) : nameText;
const language = Number(languageText);
const executable = ResEdit.NtExecutable.from(readFileSync(module), { ignoreCert: true });
const resources = ResEdit.NtExecutableResource.from(executable);
const bytes = readFileSync(file);
if (what === 'icon') {
  const icons = ResEdit.Data.IconFile.from(bytes).icons.map((icon) => icon.data);
  ResEdit.Resource.IconGroupEntry.replaceIconsForResource(resources.entries, name, language, icons);
} else {
  const bin = bytes.buffer.slice(bytes.byteOffset + 14, bytes.byteOffset + bytes.length);
  const entry = resources.entries.find((e) => e.type === 2 && e.id === name && e.lang === language);
  if (entry) entry.bin = bin;
  else resources.entries.push({ type: 2, id: name, lang: language, codepage: 0, bin });
}
resources.outputResource(executable);
writeFileSync(out, Buffer.from(executable.generate()));
