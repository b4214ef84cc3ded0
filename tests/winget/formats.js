// The formats the winget schemas name: JSON Schema's own, and "long" (a 64-bit integer, an
// installer's return code), which ajv does not know.
const addFormats = require("ajv-formats");

module.exports = (ajv) => {
  addFormats(ajv);
  ajv.addFormat("long", { type: "number", validate: Number.isSafeInteger });
  return ajv;
};
